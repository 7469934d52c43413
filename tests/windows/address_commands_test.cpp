// The download and link commands on the selected result, with the headless toolkit; the download
// itself through the real klipfang-fetch against the bundled site.
#include "windows/address_commands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/shell/registry.h"
#include "platform/ui/headless_toolkit.h"
#include "site/faults/faulty_server.h"
#include "support/environment_variable.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace {

using kf::test::filesIn;
using kf::test::readFile;

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kf::ui::setToolkit(tk);
    lstFavs.setVisible(false);
    kf::windows::showVideos(resultsView, {});
    kf::windows::showVideos(favouritesView, {});
  }

  // A result as the parser makes it; a favourite has the same fields.
  void addRow(const std::string &id, kf::video::VideoList *list = nullptr) {
    (list ? *list : results).append({"Titel", id, "http://x/vi/p.jpg", "Beschreibung", "0:42"});
  }

  std::unique_ptr<kf::windows::AddressCommands> commandsFor(const kf::net::SiteAddress &site) {
    return std::make_unique<kf::windows::AddressCommands>(
        kf::windows::AddressControls{resultsView, favouritesView, fraCMD, cmdDL, cmdDll, cmdLink, labSel}, site);
  }

  kf::ui::HeadlessToolkit tk;
  kf::ui::Window window{tk, "frmMain", "Klipfang", 9000, 7000, {}};
  kf::ui::Frame &fraResult = window.add<kf::ui::Frame>("fraResult", nullptr, {0, 0, 9000, 7000});
  kf::ui::ListView &lstResult = window.add<kf::ui::ListView>("lstResult", &fraResult, {0, 0, 8000, 6000});
  kf::ui::ListView &lstFavs = window.add<kf::ui::ListView>("lstFavs", &fraResult, {0, 0, 8000, 6000});
  kf::ui::Button &cmdDL = window.add<kf::ui::Button>("cmdDL", &fraResult, {8000, 0, 720, 720});
  kf::ui::Frame &fraCMD = window.add<kf::ui::Frame>("fraCMD", &fraResult, {100, 100, 600, 400});
  kf::ui::Button &cmdDll = window.add<kf::ui::Button>("cmdDll", &fraCMD, {0, 0, 240, 240});
  kf::ui::Button &cmdLink = window.add<kf::ui::Button>("cmdLink", &fraCMD, {0, 240, 240, 240});
  kf::ui::Label &labSel = window.add<kf::ui::Label>("labSel", nullptr, {0, 7000, 8000, 255});
  kf::video::VideoList results;
  kf::video::VideoList favourites;
  kf::windows::VideoView resultsView{results, lstResult};
  kf::windows::VideoView favouritesView{favourites, lstFavs};
  kf::test::TempDir dir;
  // The program folder is the test's: the browser program is whatever the test puts there.
  const kf::shell::BrowserRegistration registration{dir.path()};
};

TEST_F(CommandsTest, WithTheSiteDownThePageLinkIsCopiedAndFileCommandsSayWhy) {
  const kf::net::SiteAddress site = kf::test::localSiteAddress(kf::test::deadPort());
  const auto commands = commandsFor(site);
  addRow("other");
  addRow("abc");
  lstResult.select(2);
  tk.setClipboardText("alt");

  cmdLink.click();
  EXPECT_EQ(tk.clipboardText(), site.root + "/watch?v=abc");
  EXPECT_EQ(tk.clipboardClears(), 1);
  EXPECT_FALSE(fraCMD.visible());
  // No page is fetched for the page address.
  EXPECT_TRUE(tk.pointerHistory().empty());

  fraCMD.setVisible(true);
  cmdDll.click();
  EXPECT_EQ(tk.clipboardText(), site.root + "/watch?v=abc") << "the clipboard stays as it was";
  EXPECT_EQ(tk.clipboardClears(), 1);
  EXPECT_FALSE(fraCMD.visible());
  cmdDL.click();
  // Two page fetches; a browser start would have shown the busy pointer once more.
  using kf::ui::MousePointer;
  EXPECT_EQ(tk.pointerHistory(), (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default,
                                                            MousePointer::Hourglass, MousePointer::Default}));
  ASSERT_EQ(tk.boxes.shown().size(), 2U);
  for (const auto &message : tk.boxes.shown()) {
    EXPECT_EQ(message.text, "Die Adresse der Videodatei wurde nicht gefunden.\n\nDer Server ist nicht erreichbar.");
    EXPECT_EQ(message.title, "Klipfang");
  }
}

TEST_F(CommandsTest, FileLinkWaitsWithTheClipboardAndIgnoresASecondClick) {
  std::atomic<bool> clickedAgain{false};
  std::string clipboardDuringFetch = "not fetched";
  kf::test::HttpTestServer crafted;
  // Held until the window, waiting for it, has taken the clicks below.
  crafted.routes.Get("/watch", [&](const httplib::Request &, httplib::Response &response) {
    kf::test::eventually([&] { return clickedAgain.load(); });
    response.set_content("SWFObject(\"/p.swf?video_id=abc&t=1\", 1)", "text/html");
  });
  crafted.start();
  const kf::net::SiteAddress site = kf::test::localSiteAddress(crafted.port());
  const auto commands = commandsFor(site);
  addRow("abc");
  lstResult.select(1);
  tk.setClipboardText("alt");
  // The window thread looks at the clipboard while it waits, after the clicks.
  tk.onDoEvents = [&] {
    if (!clickedAgain) {
      cmdDll.click();
      cmdDL.click();
      clickedAgain = true;
    }
    clipboardDuringFetch = tk.clipboardText();
  };

  cmdDll.click();
  EXPECT_TRUE(clickedAgain);
  EXPECT_EQ(crafted.requests().size(), 1U) << "the clicks while it waited were ignored";
  EXPECT_EQ(clipboardDuringFetch, "alt");
  EXPECT_EQ(tk.clipboardText(), site.rootBare + "/get_video.php?video_id=abc&t=1");
  EXPECT_EQ(tk.clipboardClears(), 1);
  EXPECT_FALSE(fraCMD.visible());
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(CommandsTest, WithoutASelectedRowNothingChanges) {
  kf::test::writeRecordingScript(dir.file("klipfang-fetch"), dir.file("record"));
  const auto commands = commandsFor(kf::test::localSiteAddress(kf::test::deadPort()));
  tk.setClipboardText("alt");

  const auto nothingChanges = [&] {
    for (kf::ui::Button *button : {&cmdDL, &cmdDll, &cmdLink}) {
      for (const bool frameShown : {true, false}) {
        fraCMD.setVisible(frameShown);
        button->click();
        EXPECT_EQ(fraCMD.visible(), frameShown) << button->name();
      }
    }
    EXPECT_EQ(tk.clipboardText(), "alt");
    EXPECT_EQ(tk.clipboardClears(), 0);
    // Neither page fetch nor browser start, which both show the busy pointer.
    EXPECT_TRUE(tk.pointerHistory().empty());
  };
  nothingChanges();  // empty list
  addRow("abc");
  nothingChanges();  // a row, none selected
}

TEST_F(CommandsTest, DownloadTakesTheSelectedFavouriteWhileTheFavouritesAreShown) {
  kf::test::HttpTestServer crafted;  // its watch pages lead to a file named after the video
  crafted.routes.Get("/watch", [](const httplib::Request &request, httplib::Response &response) {
    response.set_content("SWFObject(\"/p.swf?video_id=" + request.get_param_value("v") + "\", 1)", "text/html");
  });
  crafted.start();
  const auto commands = commandsFor(kf::test::localSiteAddress(crafted.port()));
  kf::test::writeRecordingScript(dir.file("klipfang-fetch"), dir.file("record"));
  addRow("res1");
  addRow("fav1", &favourites);
  lstResult.select(1);
  lstFavs.setVisible(true);
  cmdDL.click();  // no favourite selected: no page fetch, which shows the busy pointer
  EXPECT_TRUE(tk.pointerHistory().empty());
  lstFavs.select(1);
  cmdDL.click();
  ASSERT_TRUE(kf::test::eventually([&] { return std::filesystem::exists(dir.file("record")); }));
  EXPECT_TRUE(readFile(dir.file("record")).ends_with("/get_video.php?video_id=fav1\n"));
}

class DownloadCommandTest : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    std::filesystem::create_directory(downloads);
    kf::test::writeRecordingScript(dir.file("notify-send"), notification);
    site = kf::test::localSiteAddress(server.start());
    commands = commandsFor(site);
    addRow(video.id);
    lstResult.select(1);
  }

  // The download runs detached, in the one downloads window of the user: a second start hands its
  // address over. Its notification comes once the file is in place or has failed.
  std::string downloadAndWait() {
    cmdDL.click();
    EXPECT_TRUE(kf::test::eventually([&] { return std::filesystem::exists(notification); }));
    std::string text = readFile(notification);
    std::filesystem::remove(notification);
    return text;
  }

  std::string clip() const {
    return server.site()
        .answer({"GET", "/get_video.php?video_id=" + video.id + "&t=" + server.site().token(video), "localhost"})
        .body;
  }

  const std::string downloads = dir.file("Downloads");
  const std::string notification = dir.file("notification");
  const kf::test::EnvironmentVariable downloadFolder{"XDG_DOWNLOAD_DIR", downloads};
  const kf::test::EnvironmentVariable path{"PATH", dir.path() + ":/usr/bin:/bin"};
  // The real launcher as the browser program; it reports through the test's notify-send.
  kf::test::FetchLauncher launcher{KF_FETCH_PROGRAM, dir.path(), dir.path()};
  kf::site::FaultyServer server;
  const kf::site::Video &video = server.site().catalogue().videos().at(5);
  kf::net::SiteAddress site;
  std::unique_ptr<kf::windows::AddressCommands> commands;
};

TEST_F(DownloadCommandTest, SavesTheSitesClipAndANewFileEachTime) {
  fraCMD.setVisible(true);
  const std::string notified = downloadAndWait();
  ASSERT_EQ(filesIn(downloads).size(), 1U);
  const std::string name = filesIn(downloads)[0];
  EXPECT_TRUE(name.ends_with(".webm")) << name;
  // The desktop is told where the file is; the show mode was not handed on.
  EXPECT_EQ(notified, "unset\n--app-name=Klipfang\n--\nDownload abgeschlossen\nGespeichert unter " + downloads + "/" +
                          name + "\n");
  EXPECT_TRUE(fraCMD.visible());
  EXPECT_EQ(tk.clipboardClears(), 0);

  fraCMD.setVisible(false);
  downloadAndWait();
  EXPECT_FALSE(fraCMD.visible());
  const std::string stem = name.substr(0, name.size() - 5);
  EXPECT_EQ(filesIn(downloads), (std::vector<std::string>{stem + " (1).webm", name}));
  for (const std::string &saved : filesIn(downloads)) EXPECT_EQ(readFile(downloads + "/" + saved), clip()) << saved;
}

TEST_F(DownloadCommandTest, CutOffBodyLeavesOnlyItsPartForARetry) {
  server.setFault({"GET", "/get_video.php", 0}, kf::site::Fault::CutOff);
  EXPECT_TRUE(downloadAndWait().find("Download fehlgeschlagen") != std::string::npos);
  ASSERT_EQ(filesIn(downloads).size(), 1U);
  EXPECT_TRUE(filesIn(downloads)[0].ends_with(".webm.part")) << filesIn(downloads)[0];
}

}  // namespace
