// klipfang-fetch: the name a download gets, the download folder, and the program saving what the
// bundled site or a crafted server answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "download/programs.h"
#include "platform/fetch/download_folder.h"
#include "platform/fetch/file_name.h"
#include "server.h"
#include "support/http_test_server.h"
#include "support/temp_dir.h"

namespace {

using kf::test::filesIn;
using kf::test::readFile;
using Names = std::vector<std::string>;

TEST(FileName, AnswerOrAddressSuggestsTheName) {
  using kf::fetch::nameFromContentDisposition;
  EXPECT_EQ(nameFromContentDisposition(" attachment; filename=\"a \\\"b\\\";c.webm\""), "a \"b\";c.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment;filename=clip.webm ; size=3"), "clip.webm");
  // The extended form wins, in either order; a character set other than UTF-8 is not taken.
  EXPECT_EQ(nameFromContentDisposition("attachment; filename=\"K.webm\"; FILENAME*=UTF-8''K%C3%A4tzchen.webm"),
            "K\xC3\xA4tzchen.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment; filename*=iso-8859-1''K%E4.webm; filename=K.webm"), "K.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment; name=\"x\""), std::nullopt);
  EXPECT_EQ(kf::fetch::nameFromAddress("http://localhost:8480/media/Kurz%20Clip.webm?x=/y#z"), "Kurz Clip.webm");
  EXPECT_EQ(kf::fetch::nameFromAddress("http://localhost:8480"), "");
}

TEST(FileName, SuggestedNamesAreMadeSafe) {
  using kf::fetch::safeFileName;
  EXPECT_EQ(safeFileName("../../.bashrc"), "_.._.bashrc");
  EXPECT_EQ(safeFileName("..\\..\\win.ini"), "_.._win.ini");
  EXPECT_EQ(safeFileName(std::string("a\nb\rc\x7f\x01_\0e", 10)), "abc_e");
  EXPECT_EQ(safeFileName("bad\xFF\xC3utf8.webm"), "bad__utf8.webm");
  EXPECT_EQ(safeFileName("K\xC3\xA4tzchen.webm"), "K\xC3\xA4tzchen.webm");
  for (const std::string nothing : {"", "..", " . ", "\n\t"}) EXPECT_EQ(safeFileName(nothing), "download") << nothing;

  // Long names keep their extension and are not cut inside a character.
  std::string umlauts;
  for (int i = 0; i < 150; ++i) umlauts += "\xC3\xA4";
  const std::string cut = safeFileName(umlauts + ".webm");
  EXPECT_LE(cut.size(), kf::fetch::kMaxNameBytes);
  EXPECT_TRUE(cut.ends_with("\xC3\xA4.webm"));
  EXPECT_EQ(cut, safeFileName(cut));
}

TEST(DownloadFolder, UserDirsFileNamesIt) {
  using kf::fetch::downloadFolderFromUserDirs;
  EXPECT_EQ(downloadFolderFromUserDirs("# xdg\n XDG_DOWNLOAD_DIR=\"$HOME/Her\\\"unter\"\n", "/home/a"),
            "/home/a/Her\"unter");
  EXPECT_EQ(downloadFolderFromUserDirs("XDG_DOWNLOAD_DIR=\"/data/dl\"\n", "/home/a"), "/data/dl");
  // Forms the file may not hold are not guessed at.
  for (const std::string line :
       {"XDG_DOWNLOAD_DIR=\"dl\"", "XDG_DOWNLOAD_DIR=$HOME/dl", "XDG_DOWNLOAD_DIR=\"$HOMEX/dl\""}) {
    EXPECT_EQ(downloadFolderFromUserDirs(line, "/h"), std::nullopt) << line;
  }
}

class FetchProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(downloads);
    kf::test::writeRecordingScript(dir.file("notify-send"), notification);
    fileAddress = "http://localhost:" + std::to_string(server.start()) + "/get_video.php?video_id=" + video.id +
                  "&t=" + server.site().token(video);
  }

  // Runs the program hidden, as the browser launcher starts it, with the test's notify-send first on
  // the PATH and, unless told otherwise, the test's download folder.
  int fetch(const std::string &address) { return fetchWith(address, {"XDG_DOWNLOAD_DIR=" + downloads}); }
  int fetchWith(const std::string &address, std::vector<std::string> environment) {
    environment.push_back("PATH=" + dir.path() + ":/usr/bin:/bin");
    environment.push_back("KLIPFANG_SHOW_WINDOW=0");
    return kf::test::runProgram(KF_FETCH_PROGRAM, address, environment);
  }

  // The notification the last run sent; notify-send is not waited for by the program.
  std::string takeNotification() {
    EXPECT_TRUE(kf::test::eventually([&] { return std::filesystem::exists(notification); }));
    std::string text = readFile(notification);
    std::filesystem::remove(notification);
    return text;
  }

  kf::test::TempDir dir;
  const std::string downloads = dir.file("Downloads");
  const std::string notification = dir.file("notification");
  kf::site::Server server;
  const kf::site::Video &video = server.site().catalogue().videos().at(3);
  std::string fileAddress;
};

TEST_F(FetchProgramTest, FailedDownloadsLeaveNothingBehind) {
  const auto fails = [&](const std::string &address) {
    EXPECT_EQ(fetch(address), 1) << address;
    EXPECT_TRUE(takeNotification().starts_with("unset\n--app-name=Klipfang\n--\nDownload fehlgeschlagen\n" + address))
        << address;
  };
  // Half the announced body, then the connection closes.
  server.setFault({"GET", "/get_video.php", 0}, kf::site::Fault::CutOff);
  fails(fileAddress);
  server.clearFaults();
  server.setFault({"GET", "/get_video.php", 0}, kf::site::Fault::ServerError);
  fails(fileAddress);
  server.clearFaults();
  // The bare request the resolver gives for an unreadable watch page.
  fails(fileAddress.substr(0, fileAddress.find('?') + 1));
  fails("http://localhost:" + std::to_string(kf::test::deadPort()) + "/get_video.php?");
  fails("ftp://localhost/clip.webm");

  EXPECT_EQ(filesIn(downloads), Names{});
}

TEST_F(FetchProgramTest, HostileNamesStayInTheDownloadFolder) {
  kf::test::HttpTestServer crafted;
  crafted.routes.Get("/evil", [](const httplib::Request &, httplib::Response &response) {
    response.set_header("Content-Disposition", "attachment; filename=\"../../escaped\"");
    response.set_content("bytes", "application/octet-stream");
  });
  crafted.routes.Get("/empty/.profile", [](const httplib::Request &, httplib::Response &response) {
    response.set_content("", "application/octet-stream");
  });
  crafted.start();
  const std::string base = "http://localhost:" + std::to_string(crafted.port());

  ASSERT_EQ(fetch(base + "/evil"), 0);
  ASSERT_EQ(fetch(base + "/empty/.profile"), 0);
  EXPECT_EQ(filesIn(downloads), (Names{"_.._escaped", "profile"}));
  EXPECT_EQ(readFile(downloads + "/_.._escaped"), "bytes");
  EXPECT_EQ(readFile(downloads + "/profile"), "");
  EXPECT_FALSE(std::filesystem::exists(dir.file("escaped")));
}

TEST_F(FetchProgramTest, DownloadFolderComesFromTheUserDirsFileAndIsMade) {
  const std::string home = dir.file("home");
  std::filesystem::create_directories(home + "/.config");
  kf::test::writeFile(home + "/.config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/Herunterladen\"\n");

  ASSERT_EQ(fetchWith(fileAddress, {"HOME=" + home, "XDG_DOWNLOAD_DIR=", "XDG_CONFIG_HOME="}), 0);
  ASSERT_EQ(filesIn(home + "/Herunterladen").size(), 1U);

  std::filesystem::remove(home + "/.config/user-dirs.dirs");
  ASSERT_EQ(fetchWith(fileAddress, {"HOME=" + home, "XDG_DOWNLOAD_DIR=", "XDG_CONFIG_HOME="}), 0);
  EXPECT_EQ(filesIn(home + "/Downloads").size(), 1U);
}

}  // namespace
