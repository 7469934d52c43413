#include "windows/result_list_reactions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "platform/ui/headless_toolkit.h"
#include "site/faults/faulty_server.h"
#include "support/picture_server.h"
#include "support/temp_dir.h"
#include "windows/video_rows.h"

namespace kf::windows {
namespace {

class ResultListTest : public ::testing::Test {
 protected:
  ResultListTest() {
    ui::setToolkit(tk);
    root = "http://127.0.0.1:" + std::to_string(site.start());
    settings.preview = true;
    showVideos(resultsView, {});
    showVideos(favouritesView, {});
    controls.window.show();
  }

  std::string pictureAddress(int video) const {
    const std::string &id = site.site().catalogue().videos()[static_cast<std::size_t>(video)].id;
    return root + "/vi/" + id + "/" + id + ".jpg";
  }
  std::string pictureBytes(int video) const {
    return site.site().answer({"GET", pictureAddress(video).substr(root.size()), "127.0.0.1"}).body;
  }
  std::string picturePath(const std::string &name) const { return appDir.path() + "/dat/pics/" + name; }

  // A row of the result list, or of another list of videos.
  int addRow(const std::string &title, const std::string &picture, video::VideoList *list = nullptr) {
    return (list ? *list : results).append({title, "id-" + title, picture, "Film " + title, "1:00"});
  }

  // The files under the program folder, relative to it.
  std::set<std::string> filesInAppDir() const {
    std::set<std::string> found;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(appDir.path())) {
      if (entry.is_regular_file()) found.insert(std::filesystem::relative(entry.path(), appDir.path()).string());
    }
    return found;
  }

  void expectIdleAfterFetch() {
    EXPECT_FALSE(controls.labWait.visible());
    EXPECT_EQ(controls.window.mousePointer(), ui::MousePointer::Default);
  }

  ui::HeadlessToolkit tk;
  site::FaultyServer site;
  std::string root;
  test::TempDir appDir;
  MainControls controls{tk};
  store::Settings settings;
  video::VideoList results;
  video::VideoList favourites;
  VideoView resultsView{results, controls.lstResult};
  VideoView favouritesView{favourites, controls.lstFavs};
  std::vector<std::pair<std::string, std::string>> watched;
  ResultListReactions reactions{
      controls,       resultsView,
      favouritesView, settings,
      appDir.path(),  [this](const std::string &id, const std::string &film) { watched.emplace_back(id, film); }};
};

TEST_F(ResultListTest, PreviewOffShowsOnlyTheTitle) {
  settings.preview = false;
  controls.imgPrev.setAsset("earlier.svg");
  addRow("Katzen im Schnee", pictureAddress(0));
  controls.lstResult.clickItem(1);
  EXPECT_EQ(controls.labSel.caption(), "Katzen im Schnee");
  EXPECT_EQ(controls.lstResult.toolTip(), "Katzen im Schnee");
  EXPECT_EQ(controls.imgPrev.picture(), "earlier.svg");
  EXPECT_TRUE(site.requests().empty());
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(ResultListTest, ClickShowsTheTitleAndThePreviewPicture) {
  const std::string title = text::cp1252(u8"Grüße aus Köln");
  addRow("anderes", pictureAddress(1));
  addRow(title, pictureAddress(0));
  std::optional<bool> waitShown, hourglass, cleared;
  tk.onDoEvents = [&] {
    if (waitShown) return;
    waitShown = controls.labWait.visible();
    hourglass = controls.window.mousePointer() == ui::MousePointer::Hourglass;
    cleared = controls.imgPrev.picture().empty();
  };
  controls.imgPrev.setAsset("earlier.svg");
  controls.lstResult.clickItem(2);

  EXPECT_EQ(controls.labSel.caption(), title);
  EXPECT_EQ(controls.lstResult.toolTip(), title);
  EXPECT_TRUE(waitShown.value_or(false));
  EXPECT_TRUE(hourglass.value_or(false));
  EXPECT_TRUE(cleared.value_or(false));
  const std::string name = site.site().catalogue().videos()[0].id + ".jpg";
  EXPECT_EQ(controls.imgPrev.picture(), picturePath(name));
  EXPECT_EQ(test::readFile(picturePath(name)), pictureBytes(0));
  EXPECT_TRUE(tk.boxes.shown().empty());
  expectIdleAfterFetch();

  // A picture's bytes serve its own click only: a later fetch that gets nothing shows and writes none.
  site.setFault({"GET", "/vi/", 0}, site::Fault::Refuse);
  controls.lstResult.clickItem(1);
  EXPECT_EQ(controls.labSel.caption(), "anderes");
  EXPECT_EQ(controls.imgPrev.picture(), "");
  EXPECT_EQ(filesInAppDir(), std::set<std::string>{"dat/pics/" + name});
  EXPECT_TRUE(tk.boxes.shown().empty());
  expectIdleAfterFetch();
}

TEST_F(ResultListTest, AClickOnAFavouriteShowsItsTitleAndPreviewPicture) {
  addRow("Lieblingsfilm", pictureAddress(2), &favourites);
  controls.lstFavs.clickItem(1);
  EXPECT_EQ(controls.labSel.caption(), "Lieblingsfilm");
  EXPECT_EQ(controls.lstFavs.toolTip(), "Lieblingsfilm");
  EXPECT_EQ(controls.imgPrev.picture(), picturePath(site.site().catalogue().videos()[2].id + ".jpg"));
  expectIdleAfterFetch();
}

TEST_F(ResultListTest, FailedStepsShowOneMessageEachAndLeaveThePreviewEmpty) {
  test::PictureServer pictures;
  struct Case {
    const char *what;
    std::string address;
    std::optional<site::Fault> fault;
    std::vector<std::string> messages;
    std::set<std::string> files;  // besides sets.cfg
  };
  const std::string invalidPicture = text::cp1252(u8"Ungültiges Bild");
  const std::string noName = text::cp1252(u8"Die Bildadresse ergibt keinen gültigen Dateinamen.");
  const std::string noAddress = text::cp1252(u8"Die Adresse ist keine gültige HTTP-Adresse.");
  const std::string id = site.site().catalogue().videos()[0].id;
  const Case cases[] = {
      {"error page instead of a picture",
       pictureAddress(0),
       site::Fault::NotAPicture,
       {invalidPicture},
       {"dat/pics/" + id + ".jpg"}},
      {"address ending in a slash", root + "/vi/" + id + "/", std::nullopt, {noName, noName}, {}},
      {"address ending in ..", root + "/vi/" + id + "/..", std::nullopt, {noName, noName}, {}},
      {"address without separators", id + ".jpg", std::nullopt, {noAddress}, {}},
      {"a program file's name",
       root + "/vi/" + id + "/sets.cfg",
       std::nullopt,
       {invalidPicture},
       {"dat/pics/sets.cfg"}},
      {"a body of one byte", pictures.address("/one"), std::nullopt, {}, {}},
  };
  test::writeFile(appDir.file("sets.cfg"), "3\r\n");
  for (const Case &testCase : cases) {
    SCOPED_TRACE(testCase.what);
    std::filesystem::remove_all(appDir.path() + "/dat");
    site.clearFaults();
    if (testCase.fault) site.setFault({"GET", "/vi/", 0}, *testCase.fault);
    results.clear();
    addRow("Titel", testCase.address);
    const std::size_t before = tk.boxes.shown().size();

    controls.lstResult.clickItem(1);

    std::vector<std::string> shown;
    for (std::size_t i = before; i < tk.boxes.shown().size(); ++i) {
      EXPECT_EQ(tk.boxes.shown()[i].title, "Klipfang");
      EXPECT_EQ(tk.boxes.shown()[i].icon, ui::MessageIcon::None);
      shown.push_back(tk.boxes.shown()[i].text);
    }
    EXPECT_EQ(shown, testCase.messages);
    EXPECT_EQ(controls.imgPrev.picture(), "");
    std::set<std::string> files = testCase.files;
    files.insert("sets.cfg");
    EXPECT_EQ(filesInAppDir(), files);
    EXPECT_EQ(test::readFile(appDir.file("sets.cfg")), "3\r\n");
    expectIdleAfterFetch();
  }
}

TEST_F(ResultListTest, ClicksDuringAFetchEndWithTheLastOnesPicture) {
  test::PictureServer pictures;
  addRow("erstes", pictures.address("/held/first.jpg"));
  addRow("zweites", pictures.address("/pic/second.jpg"));
  addRow("drittes", pictures.address("/pic/third.jpg"));
  int servedAtClick = -1;
  bool posted = false;
  tk.onDoEvents = [&] {
    if (posted) return;
    posted = true;
    // Runs in the wait for the first picture, which the server holds back until released.
    tk.post([&] {
      servedAtClick = pictures.served();
      controls.lstResult.clickItem(2);
      controls.lstResult.clickItem(3);
      pictures.release();
    });
  };
  controls.lstResult.clickItem(1);

  EXPECT_EQ(servedAtClick, 0);
  EXPECT_EQ(controls.labSel.caption(), "drittes");
  EXPECT_EQ(controls.imgPrev.picture(), picturePath("third.jpg"));
  EXPECT_EQ(test::readFile(picturePath("third.jpg")), test::jpegBytes("third.jpg"));
  EXPECT_EQ(pictures.served(), 2);
  EXPECT_EQ(pictures.mostAtOnce(), 1);
  EXPECT_TRUE(tk.boxes.shown().empty());
  expectIdleAfterFetch();
}

TEST_F(ResultListTest, DoubleClickAndButtonRelease) {
  // An empty list reacts to nothing.
  controls.lstResult.doubleClick();
  controls.lstResult.mouseUp(2);
  EXPECT_TRUE(watched.empty());
  EXPECT_FALSE(controls.fraCMD.visible());

  addRow("eins", pictureAddress(0));
  addRow("zwei", pictureAddress(1));
  controls.lstResult.doubleClick();  // nothing selected yet
  EXPECT_TRUE(watched.empty());
  controls.lstResult.select(2);
  controls.lstResult.doubleClick();
  EXPECT_EQ(watched, (std::vector<std::pair<std::string, std::string>>{{"id-zwei", "Film zwei"}}));

  controls.lstResult.mouseUp(1);
  controls.lstResult.mouseUp(4);
  EXPECT_FALSE(controls.fraCMD.visible());
  const float left = controls.fraCMD.left();
  const float top = controls.fraCMD.top();
  controls.lstResult.mouseUp(2, 0, 15, 30);
  EXPECT_TRUE(controls.fraCMD.visible());
  EXPECT_EQ(controls.fraCMD.left(), left);
  EXPECT_EQ(controls.fraCMD.top(), top);
}

}  // namespace
}  // namespace kf::windows
