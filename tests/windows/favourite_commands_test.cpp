#include "windows/favourite_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/headless_toolkit.h"
#include "support/temp_dir.h"
#include "windows/build_watch_page.h"
#include "windows/video_rows.h"
#include "windows/watch_command.h"

namespace kf::windows {
namespace {

constexpr int kDeleteKey = 46;

// The part of the main window these commands work on.
class FavouriteCommandsTest : public ::testing::Test {
 protected:
  FavouriteCommandsTest() {
    ui::setToolkit(tk);
    std::filesystem::create_directory(dir.file("dat"));
    test::writeFile(dir.file("vid.kf"), "<p>%</p>\r\n");
    img.entries.push_back({"fav", "fav.svg", "Favorit"});
    lstResult.setImageList(&img);
    lstFavs.setVisible(false);
    lstFile.setVisible(false);
    brw.setVisible(false);
    showVideos(resultsView, {});
    showVideos(favouritesView, {});
  }

  void addResult(const std::string &description, const std::string &id) {
    results.append({"T " + id, id, "pic/" + id, description, "1:00"});
  }
  void addFavourite(const std::string &description, const std::string &id) {
    favs.append({"T " + id, id, "pic/" + id, description, "1:00"});
  }
  // "number:description:id" for every favourite.
  std::vector<std::string> favourites() const {
    std::vector<std::string> rows;
    for (int row = 1; row <= lstFavs.count(); ++row) {
      rows.push_back(lstFavs.item(row).text + ":" + lstFavs.subItemText(row, 1) + ":" + lstFavs.subItemText(row, 2));
    }
    return rows;
  }
  std::vector<int> stars() const {
    std::vector<int> icons;
    for (int row = 1; row <= lstResult.count(); ++row) icons.push_back(lstResult.smallIcon(row));
    return icons;
  }
  std::vector<bool> views() const { return {lstResult.visible(), lstFavs.visible(), lstFile.visible(), brw.visible()}; }

  ui::HeadlessToolkit tk;
  test::TempDir dir;
  store::Settings settings;
  ui::Window frmMain{tk, "frmMain", "Klipfang", 10770, 8790, {}};
  ui::Frame &fraResult = frmMain.add<ui::Frame>("fraResult", nullptr, {}, 3);
  ui::ListView &lstResult = frmMain.add<ui::ListView>("lstResult", &fraResult, {}, 4);
  ui::ListView &lstFavs = frmMain.add<ui::ListView>("lstFavs", &fraResult, {}, 27);
  ui::ListView &lstFile = frmMain.add<ui::ListView>("lstFile", &fraResult, {}, 8);
  ui::Browser &brw = frmMain.add<ui::Browser>("brw", &fraResult, {}, 21);
  ui::Frame &fraCMD = frmMain.add<ui::Frame>("fraCMD", &fraResult, {}, 22);
  ui::Button &cmdMark = frmMain.add<ui::Button>("cmdMark", &fraCMD, {}, 25);
  ui::Button &cmdDelFav = frmMain.add<ui::Button>("cmdDelFav", &fraCMD, {}, 26);
  ui::Button &cmdFavs = frmMain.add<ui::Button>("cmdFavs", &fraResult, {}, 28);
  ui::Button &cmdToFav = frmMain.add<ui::Button>("cmdToFav", &fraResult, {}, 20);
  ui::Button &cmdWatch = frmMain.add<ui::Button>("cmdWatch", &fraResult, {}, 18);
  ui::Label &labSel = frmMain.add<ui::Label>("labSel", nullptr, {}, 12);
  ui::ImageList img;
  video::VideoList results;
  video::VideoList favs;
  VideoView resultsView{results, lstResult};
  VideoView favouritesView{favs, lstFavs};
  BuildWatchPage buildWatchPage{tk, dir.path(), net::builtInSiteAddress(), settings};
  FavouriteCommands commands{
      {resultsView, favouritesView, lstFile, brw, fraCMD, cmdMark, cmdDelFav, cmdFavs, cmdToFav, labSel, img},
      buildWatchPage};
  WatchCommand watch{{cmdWatch, resultsView, favouritesView, labSel}, buildWatchPage};
};

TEST_F(FavouriteCommandsTest, MarkingAppendsANumberedCopyAndMarksTheResult) {
  addFavourite("Eins", "a1");
  addFavourite("Zwei", "b2");
  addFavourite("Drei", "c3");
  favs.remove(2);  // numbers are never reused: the next one counts the rows
  addFavourite("Drei", "c3");
  addResult("Katzen", "k9");
  addResult("Hunde", "h7");
  lstResult.clickItem(2);
  fraCMD.setVisible(true);

  cmdMark.click();

  ASSERT_EQ(lstFavs.count(), 4);
  EXPECT_EQ(lstFavs.item(4).text, "4");
  EXPECT_EQ(favs.at(4), results.at(2));
  EXPECT_EQ(lstResult.smallIcon(2), 1);
  EXPECT_EQ(lstResult.smallIcon(1), 0);
  EXPECT_FALSE(fraCMD.visible());
  EXPECT_EQ(views(), (std::vector<bool>{true, false, false, false}));  // the view stays on the results
}

TEST_F(FavouriteCommandsTest, AVideoIsAFavouriteOnceAndUnmarkingRemovesIt) {
  addResult("No cats were harmed.", "k9");
  addResult("No cats were harmed.", "x1");
  addResult("No cats were harmed.", "K9");  // the same video again, on a later page
  for (const int row : {1, 1, 2}) {
    lstResult.clickItem(row);
    cmdMark.click();
  }
  EXPECT_EQ(favourites(), (std::vector<std::string>{"1:No cats were harmed.:k9", "2:No cats were harmed.:x1"}));
  EXPECT_EQ(stars(), (std::vector<int>{1, 1, 1}));
  cmdDelFav.click();
  EXPECT_EQ(favourites(), (std::vector<std::string>{"1:No cats were harmed.:k9"}));
  EXPECT_EQ(stars(), (std::vector<int>{1, 0, 1}));

  // A file may hold a video twice: one copy goes at a time, and the stars stay while one is left.
  addFavourite("Andere Beschreibung", "K9");
  lstResult.clickItem(3);
  cmdDelFav.click();
  EXPECT_EQ(favourites(), (std::vector<std::string>{"2:Andere Beschreibung:K9"}));
  EXPECT_EQ(stars(), (std::vector<int>{1, 0, 1}));
  cmdDelFav.click();
  EXPECT_EQ(stars(), (std::vector<int>{0, 0, 0}));
}

TEST_F(FavouriteCommandsTest, DeleteRemovesFavouriteAndStarsAndSelectsTheNext) {
  addFavourite("Eins", "a1");
  addFavourite("Zwei", "b2");
  addFavourite("Drei", "c3");
  addResult("Zwei", "B2");
  addResult("Drei", "c3");
  lstResult.setSmallIcon(1, 1);
  lstResult.setSmallIcon(2, 1);
  lstFavs.clickItem(2);
  for (int key : {45, 8, 13, 65}) lstFavs.keyDown(key);
  EXPECT_EQ(lstFavs.count(), 3);

  lstFavs.keyDown(kDeleteKey, 1);  // with shift as without
  EXPECT_EQ(favourites(), (std::vector<std::string>{"1:Eins:a1", "3:Drei:c3"}));
  EXPECT_EQ(stars(), (std::vector<int>{0, 1}));
  EXPECT_EQ(lstFavs.selectedIndex(), 2);

  // The last row gone, its predecessor is selected; Delete empties the list row by row.
  lstFavs.keyDown(kDeleteKey);
  EXPECT_EQ(favourites(), (std::vector<std::string>{"1:Eins:a1"}));
  EXPECT_EQ(stars(), (std::vector<int>{0, 0}));
  EXPECT_EQ(lstFavs.selectedIndex(), 1);
  lstFavs.keyDown(kDeleteKey);
  EXPECT_EQ(lstFavs.count(), 0);
  EXPECT_EQ(lstFavs.selectedIndex(), 0);
  lstFavs.keyDown(kDeleteKey);
  EXPECT_EQ(lstFavs.count(), 0);
}

TEST_F(FavouriteCommandsTest, ListsWithoutRowsOrSelectionLeaveEverythingAsItWas) {
  fraCMD.setVisible(true);
  const auto untouched = [&] {
    cmdMark.click();
    cmdDelFav.click();
    cmdWatch.click();
    lstFavs.doubleClick();
    lstFavs.keyDown(kDeleteKey);
  };
  untouched();
  EXPECT_EQ(lstFavs.count(), 0);
  EXPECT_TRUE(fraCMD.visible());

  addResult("Katzen", "k9");
  lstResult.setSmallIcon(1, 1);
  addFavourite("Katzen", "k9");
  untouched();
  EXPECT_EQ(favourites(), (std::vector<std::string>{"1:Katzen:k9"}));
  EXPECT_EQ(lstResult.smallIcon(1), 1);
  EXPECT_TRUE(fraCMD.visible());
  EXPECT_EQ(buildWatchPage.frmVid(), nullptr);
  EXPECT_TRUE(tk.boxes.shown().empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.file("dat")));
}

TEST_F(FavouriteCommandsTest, TheViewButtonsLeaveExactlyOneViewAndHideThePanel) {
  fraCMD.setVisible(true);
  cmdFavs.click();
  EXPECT_EQ(views(), (std::vector<bool>{false, true, false, false}));
  EXPECT_FALSE(fraCMD.visible());

  lstFile.setVisible(true);
  fraCMD.setVisible(true);
  cmdToFav.click();
  EXPECT_EQ(views(), (std::vector<bool>{false, false, false, true}));
  EXPECT_FALSE(fraCMD.visible());

  cmdFavs.click();
  EXPECT_EQ(views(), (std::vector<bool>{false, true, false, false}));
}

TEST_F(FavouriteCommandsTest, DoubleClickAndWatchButtonPlayTheSelectedFavourite) {
  addFavourite("Mein Lieblingsfilm", "fav-1");
  addFavourite("Noch einer", "fav_2");
  lstFavs.clickItem(2);
  lstFavs.doubleClick();
  ASSERT_NE(buildWatchPage.frmVid(), nullptr);
  FrmVid &frm = *buildWatchPage.frmVid();
  EXPECT_TRUE(frm.window.isOpen());
  EXPECT_EQ(frm.window.caption(), "Noch einer");
  EXPECT_EQ(frm.brw.location(), "file://" + dir.path() + "/dat/fav_2.html");
  EXPECT_EQ(test::readFile(dir.file("dat/fav_2.html")), "<p>fav_2</p>\r\n");

  addResult("Ein Ergebnis", "res9");
  lstResult.clickItem(1);
  cmdWatch.click();
  EXPECT_EQ(buildWatchPage.frmVid(), &frm);
  EXPECT_EQ(frm.window.caption(), "Ein Ergebnis");
  EXPECT_EQ(frm.brw.location(), "file://" + dir.path() + "/dat/res9.html");

  // While the favourites are shown, the button plays the favourite selected there, or nothing.
  cmdFavs.click();
  lstFavs.clickItem(1);
  cmdWatch.click();
  EXPECT_EQ(frm.brw.location(), "file://" + dir.path() + "/dat/fav-1.html");
  lstFavs.select(0);
  frm.window.close();
  cmdWatch.click();
  EXPECT_FALSE(buildWatchPage.frmVid()->window.isOpen());
}

}  // namespace
}  // namespace kf::windows
