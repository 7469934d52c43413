// The main window as it opens: every control where the user knows it, only the result
// list of the four views showing, and the keyboard in the search box.
#include "windows/main_controls.h"

#include <gtest/gtest.h>

#include "platform/base/cp1252.h"
#include "platform/ui/headless_toolkit.h"

namespace kf::windows {
namespace {

struct Expected {
  const char *name;
  const char *container;
  ui::Geometry geometry;
  bool visible;
};

// Left, top, width, height in twips, as the window is laid out before its first resize.
const Expected kControls[] = {
    {"fraPreview", "", {8160, 120, 2175, 1680}, true},
    {"labInfo", "fraPreview", {240, 960, 2055, 255}, false},
    {"labWait", "fraPreview", {240, 600, 1575, 255}, false},
    {"imgPrev", "fraPreview", {120, 240, 1935, 1335}, true},
    {"fraInfo", "", {120, 1200, 8055, 495}, true},
    {"labSel", "fraInfo", {240, 180, 7815, 255}, true},
    {"fraResult", "", {120, 1800, 10455, 6855}, true},
    {"cmdFavs", "fraResult", {9600, 4440, 735, 735}, true},
    {"lstFavs", "fraResult", {-600, 1200, 9375, 5175}, false},
    {"fraCMD", "fraResult", {4080, 2160, 3015, 855}, false},
    {"cmdDelFav", "fraCMD", {2280, 240, 615, 495}, true},
    {"cmdMark", "fraCMD", {1560, 240, 615, 495}, true},
    {"cmdDll", "fraCMD", {840, 240, 615, 495}, true},
    {"cmdLink", "fraCMD", {120, 240, 615, 495}, true},
    {"brw", "fraResult", {120, 480, 9375, 4935}, false},
    {"cmdToFav", "fraResult", {9600, 5280, 735, 735}, true},
    {"cmdInfo", "fraResult", {9600, 6120, 735, 735}, true},
    {"cmdWatch", "fraResult", {9600, 3600, 735, 735}, true},
    {"cmdSets", "fraResult", {9600, 2760, 735, 735}, true},
    {"cmdDL", "fraResult", {9600, 1920, 735, 735}, true},
    {"cmdResults", "fraResult", {9600, 1080, 735, 735}, true},
    {"lstFile", "fraResult", {120, 480, 9375, 4335}, false},
    {"cmdFile", "fraResult", {9600, 240, 735, 735}, true},
    {"prgDL", "fraResult", {120, 6480, 10215, 255}, true},
    {"lstResult", "fraResult", {120, 240, 9375, 4335}, true},
    {"fraSearch", "", {120, 120, 8055, 975}, true},
    {"cmdAbortS", "fraSearch", {7200, 120, 735, 735}, false},
    {"cmdSearch", "fraSearch", {7200, 120, 735, 735}, true},
    {"txtSearch", "fraSearch", {1560, 360, 5535, 285}, true},
    {"labSearch", "fraSearch", {120, 360, 1395, 240}, true},
};

TEST(MainControls, EveryControlStandsAtItsPlaceInItsContainer) {
  ui::HeadlessToolkit tk;
  MainControls controls(tk);
  ASSERT_EQ(controls.window.controls().size(), std::size(kControls));
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    const auto &want = kControls[i];
    const ui::Control &got = *controls.window.controls()[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.name(), want.name) << "creation order";
    EXPECT_EQ(got.container() ? got.container()->name() : "", want.container);
    EXPECT_EQ(got.left(), want.geometry.left);
    EXPECT_EQ(got.top(), want.geometry.top);
    EXPECT_EQ(got.width(), want.geometry.width);
    EXPECT_EQ(got.height(), want.geometry.height);
    EXPECT_EQ(got.visible(), want.visible);
  }
}

TEST(MainControls, OpensWithTheResultListAndTheKeyboardInTheSearchBox) {
  ui::HeadlessToolkit tk;
  MainControls controls(tk);
  controls.window.show();
  EXPECT_EQ(controls.window.focused(), &controls.txtSearch);
  EXPECT_TRUE(controls.lstResult.visible());
  EXPECT_FALSE(controls.lstFavs.visible() || controls.lstFile.visible() || controls.brw.visible());
  EXPECT_EQ(controls.window.clientWidth(), 10770);
  EXPECT_EQ(controls.window.clientHeight(), 8790);
}

TEST(MainControls, GermanTextsAreWindows1252) {
  ui::HeadlessToolkit tk;
  MainControls controls(tk);
  EXPECT_EQ(controls.cmdDll.toolTip(),
            "Tats\xE4"
            "chlichen Videolink in die Zwischenablage (Strg+Umschalt+C)");
  EXPECT_EQ(controls.cmdDll.accessibleName(),
            "Tats\xE4"
            "chlichen Videolink in die Zwischenablage");
  EXPECT_EQ(controls.cmdSets.toolTip(),
            "Einstellungen \xF6"
            "ffnen.");
  EXPECT_EQ(controls.labWait.caption(), "Bitte Warten");
  EXPECT_TRUE(controls.labWait.font().bold);
  EXPECT_EQ(controls.lstResult.columnCount(), 6);
  EXPECT_EQ(controls.lstResult.columnHeader(5), "Title");
  EXPECT_EQ(controls.lstFavs.columnHeader(5), "Titel");
  EXPECT_EQ(controls.lstFile.columnHeader(2), "Zeile");
  EXPECT_EQ(controls.img.indexOf("fav"), 1);
  EXPECT_EQ(controls.lstResult.imageList(), &controls.img);
}

}  // namespace
}  // namespace kf::windows
