// The program itself against a folder of the user's own videos: it finds a video by a folded word,
// watches it, downloads its file through klipfang-fetch, and lists them all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/base/cp1252.h"
#include "site/library/sqlite.h"
#include "support/environment_variable.h"
#include "support/http_probe.h"
#include "support/library_folder.h"
#include "support/local_site.h"
#include "support/program_folder.h"
#include "support/programs.h"

namespace kf {
namespace {

TEST(LibraryProgram, FindsWatchesAndDownloadsAVideoOfTheFolder) {
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  site::test::LibrarySite library;
  const test::ProgramFolder folder;
  const auto frm = folder.start(tk, test::localSiteAddress(library.port(), library.key()));
  auto &results = frm->controls.lstResult;

  frm->controls.txtSearch.setText("kaese");
  frm->controls.cmdSearch.click();
  ASSERT_EQ(results.count(), 1);
  EXPECT_EQ(results.subItemText(1, 4), text::cp1252(u8"Käse aus der Straße"));
  EXPECT_EQ(results.subItemText(1, 1), text::cp1252(u8"Eine Übung"));
  EXPECT_EQ(results.subItemText(1, 5), "0:01");
  const std::string id = results.subItemText(1, 2);

  // The video window shows the embed page, whose player plays the file from the folder.
  results.select(1);
  frm->controls.cmdWatch.click();
  EXPECT_NE(test::readFile(folder.file("dat/" + id + ".html")).find("/embed/" + id), std::string::npos);
  const std::string embed =
      site::test::fetch(library.port(), "GET", library.root() + "/embed/" + id, library.host()).body;
  const auto src = embed.find("src=\"http://" + library.host()) + 12 + library.host().size();
  std::string file = embed.substr(src, embed.find('"', src) - src);
  file.replace(file.find("&amp;"), 5, "&");
  const std::string bytes = test::readFile(library.folder() + "/kaese.webm");
  EXPECT_EQ(site::test::fetch(library.port(), "GET", file, library.host()).body, bytes);

  // The download button hands the file address to klipfang-fetch, which saves it whole.
  const test::TempDir fetchDir;
  const std::string downloads = fetchDir.file("Downloads");
  std::filesystem::create_directory(downloads);
  test::writeRecordingScript(fetchDir.file("notify-send"), fetchDir.file("notification"));
  const test::EnvironmentVariable downloadFolder("XDG_DOWNLOAD_DIR", downloads);
  const test::EnvironmentVariable path("PATH", fetchDir.path() + ":/usr/bin:/bin");
  const test::FetchLauncher launcher(KF_FETCH_PROGRAM, folder.path(), fetchDir.path());
  frm->controls.cmdDL.click();
  EXPECT_TRUE(tk.boxes.shown().empty());
  ASSERT_TRUE(test::eventually([&] { return std::filesystem::exists(fetchDir.file("notification")); }));
  ASSERT_EQ(test::filesIn(downloads), std::vector<std::string>{"Kaese_aus_der_Strasse.webm"});
  EXPECT_EQ(test::readFile(downloads + "/Kaese_aus_der_Strasse.webm"), bytes);

  // A download link in the video window takes the same way; one to elsewhere is refused.
  ASSERT_NE(frm->videoWindow(), nullptr);
  std::filesystem::remove(fetchDir.file("notification"));
  frm->videoWindow()->brw.download("http://" + library.host() + file);
  ASSERT_TRUE(test::eventually([&] { return std::filesystem::exists(fetchDir.file("notification")); }));
  EXPECT_EQ(test::readFile(downloads + "/Kaese_aus_der_Strasse (1).webm"), bytes);
  frm->videoWindow()->brw.download("http://elsewhere.localhost/film.webm");
  ASSERT_EQ(tk.boxes.shown().size(), 1U);
  EXPECT_NE(tk.boxes.shown().front().text.find("nur Dateien der Videoseite"), std::string::npos);
  ASSERT_TRUE(test::closeMainWindow(*frm));
}

// "*" lists every video of a folder, by folder and title, through as many pages as that takes,
// whatever the setting of pages per search (here 2) says.
TEST(LibraryProgram, AStarListsEveryVideoByFolderAndTitle) {
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  const test::TempDir dir;
  std::filesystem::create_directory(dir.file("lib"));
  const std::string database = dir.file("lib.sqlite");
  site::library::Store::prepare(database, [](const std::string &) {});
  // Written last to first, so that the order of the rows is no answer; 700 a folder.
  std::vector<std::string> expected(2100);
  {
    site::library::Store store(database);
    site::library::Transaction transaction(store.connection());
    for (int i = 2099; i >= 0; --i) {
      expected[i] = "Film " + std::to_string(1000 + i % 700);
      const std::string folder = std::vector<std::string>{"", "a Ordner/", "B Ordner/"}[i / 700];
      store.put({{}, folder + expected[i] + ".mp4", 0, 0, expected[i], "x", 0, "as-is", {}, true}, std::nullopt);
    }
    transaction.commit();
  }
  auto options = site::test::optionsFor(dir.file("lib"), database, [](const std::string &) {});
  options.scan = false;
  site::Server server(std::make_shared<site::library::Library>(options));
  const int port = server.start();
  const test::ProgramFolder folder;
  const auto frm = folder.start(tk, test::localSiteAddress(port, server.site().videos().accessKey()));
  frm->controls.txtSearch.setText(" * ");
  frm->controls.cmdSearch.click();
  std::vector<std::string> listed;
  for (int row = 1; row <= frm->controls.lstResult.count(); ++row)
    listed.push_back(frm->controls.lstResult.subItemText(row, 4));
  EXPECT_EQ(listed, expected);
  ASSERT_TRUE(test::closeMainWindow(*frm));
}

}  // namespace
}  // namespace kf
