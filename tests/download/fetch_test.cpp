// klipfang-fetch: the name a download gets, the download folder, and the program itself: hidden
// starts that share one downloads window.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "download/programs.h"
#include "downloads/file_name.h"
#include "platform/os/desktop/download_folder.h"
#include "site/http/server.h"
#include "support/environment_variable.h"
#include "support/http_test_server.h"
#include "support/temp_dir.h"

namespace {

using kf::test::filesIn;
using kf::test::readFile;
using Names = std::vector<std::string>;

TEST(FileName, AnswerOrAddressSuggestsTheName) {
  using kf::downloads::nameFromContentDisposition;
  EXPECT_EQ(nameFromContentDisposition(" attachment; filename=\"a \\\"b\\\";c.webm\""), "a \"b\";c.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment;filename=clip.webm ; size=3"), "clip.webm");
  // The extended form wins, in either order; a character set other than UTF-8 is not taken.
  EXPECT_EQ(nameFromContentDisposition("attachment; filename=\"K.webm\"; FILENAME*=UTF-8''K%C3%A4tzchen.webm"),
            "K\xC3\xA4tzchen.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment; filename*=iso-8859-1''K%E4.webm; filename=K.webm"), "K.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment; name=\"x\""), std::nullopt);
  EXPECT_EQ(kf::downloads::nameFromAddress("http://localhost:8480/media/Kurz%20Clip.webm?x=/y#z"), "Kurz Clip.webm");
  EXPECT_EQ(kf::downloads::nameFromAddress("http://localhost:8480"), "");
}

TEST(FileName, SuggestedNamesAreMadeSafe) {
  using kf::downloads::safeFileName;
  EXPECT_EQ(safeFileName("../../.bashrc"), "_.._.bashrc");
  EXPECT_EQ(safeFileName("..\\..\\win.ini"), "_.._win.ini");
  EXPECT_EQ(safeFileName(std::string("a\nb\rc\x7f\x01_\0e", 10)), "abc_e");
  EXPECT_EQ(safeFileName("bad\xFF\xC3utf8.webm"), "bad__utf8.webm");
  EXPECT_EQ(safeFileName("K\xC3\xA4tzchen.webm"), "K\xC3\xA4tzchen.webm");
  for (const std::string nothing : {"", "..", " . ", "\n\t", "-", "\xE2\x80\x8B"}) {
    EXPECT_EQ(safeFileName(nothing), "download") << nothing;
  }
  // A name shows what it is: no terminal escape (C1 CSI), no direction override that would show
  // "clip\u202Embew.exe" as "clipexe.webm", no zero-width character, no option for a program.
  EXPECT_EQ(safeFileName("\xC2\x9B"
                         "31mrot\xC2\x80.webm"),
            "31mrot.webm");
  // NOLINTNEXTLINE(misc-misleading-bidirectional): the file-name check is fed these on purpose
  EXPECT_EQ(safeFileName("clip\xE2\x80\xAEmbew.exe"), "clipmbew.exe");
  // NOLINTNEXTLINE(misc-misleading-bidirectional): the file-name check is fed these on purpose
  for (const std::string control : {"\xE2\x80\x8B", "\xE2\x80\x8F", "\xE2\x80\xAA", "\xE2\x81\xA6", "\xE2\x81\xA9"}) {
    EXPECT_EQ(safeFileName("a" + control + "b"), "ab") << control;
  }
  // Nor any other character that shows nothing: format characters, the line and paragraph separators,
  // the soft hyphen, tags, variation selectors and fillers; their neighbours show.
  for (const std::u8string_view hidden :
       {u8"\u00AD", u8"\u0600", u8"\u180E", u8"\u2028", u8"\u2029", u8"\u206A", u8"\u206F", u8"\u115F", u8"\uFE0F",
        u8"\U0001D173", u8"\U000E0001", u8"\U000E0041", u8"\U000E007F", u8"\U000E01EF", u8"\U000E0FFF"}) {
    EXPECT_EQ(safeFileName("a" + std::string(hidden.begin(), hidden.end()) + "b"), "ab");
  }
  const std::u8string_view shown = u8"\u00AC\u00AE\u180A\u2010\u2027\u2030\u2070\uFE10\U0001D172\U000E1000";
  EXPECT_EQ(safeFileName(std::string(shown.begin(), shown.end())), std::string(shown.begin(), shown.end()));
  EXPECT_EQ(safeFileName("-rf"), "rf");
  EXPECT_EQ(safeFileName("--.-x.webm"), "x.webm");
  EXPECT_EQ(safeFileName("a-b.webm"), "a-b.webm");

  // Long names keep their extension and are not cut inside a character.
  std::string umlauts;
  for (int i = 0; i < 150; ++i) umlauts += "\xC3\xA4";
  const std::string cut = safeFileName(umlauts + ".webm");
  EXPECT_LE(cut.size(), kf::downloads::kMaxNameBytes);
  EXPECT_TRUE(cut.ends_with("\xC3\xA4.webm"));
  EXPECT_EQ(cut, safeFileName(cut));
}

TEST(DownloadFolder, UserDirsFileNamesIt) {
  using kf::desktop::downloadFolderFromUserDirs;
  EXPECT_EQ(downloadFolderFromUserDirs("# xdg\n XDG_DOWNLOAD_DIR=\"$HOME/Her\\\"unter\"\n", "/home/a"),
            "/home/a/Her\"unter");
  EXPECT_EQ(downloadFolderFromUserDirs("XDG_DOWNLOAD_DIR=\"/data/dl\"\n", "/home/a"), "/data/dl");
  // Forms the file may not hold are not guessed at.
  for (const std::string line :
       {"XDG_DOWNLOAD_DIR=\"dl\"", "XDG_DOWNLOAD_DIR=$HOME/dl", "XDG_DOWNLOAD_DIR=\"$HOMEX/dl\""}) {
    EXPECT_EQ(downloadFolderFromUserDirs(line, "/h"), std::nullopt) << line;
  }
}

TEST(DownloadFolder, FallsBackToDownloadsInTheHomeFolder) {
  kf::test::TempDir home;
  const kf::test::EnvironmentVariable homeFolder("HOME", home.path());
  const kf::test::EnvironmentVariable configFolder("XDG_CONFIG_HOME", home.file("config"));
  kf::test::EnvironmentVariable downloadFolder("XDG_DOWNLOAD_DIR", std::nullopt);
  EXPECT_EQ(kf::desktop::downloadFolder(), home.file("Downloads"));
  std::filesystem::create_directory(home.file("config"));
  kf::test::writeFile(home.file("config/user-dirs.dirs"), "XDG_DOWNLOAD_DIR=\"$HOME/Herunterladen\"\n");
  EXPECT_EQ(kf::desktop::downloadFolder(), home.file("Herunterladen"));
  downloadFolder.set("/srv/dl");
  EXPECT_EQ(kf::desktop::downloadFolder(), "/srv/dl");
}

// The program as Klipfang starts it: hidden, with the desktop's environment and the test's
// notify-send first on the PATH.
class FetchProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(home + "/.config");
    kf::test::writeFile(home + "/.config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/Herunterladen\"\n");
    kf::test::writeRecordingScript(dir.file("notify-send"), notification);
    const int port = server.start();
    for (const int i : {3, 4}) {
      const kf::site::Video &video = server.site().catalogue().videos().at(i);
      addresses.push_back("http://localhost:" + std::to_string(port) + "/get_video.php?video_id=" + video.id +
                          "&t=" + server.site().token(video));
    }
  }

  std::string takeNotification() {
    EXPECT_TRUE(kf::test::eventually([&] { return std::filesystem::exists(notification); }));
    std::string text = readFile(notification);
    std::filesystem::remove(notification);
    return text;
  }

  kf::test::TempDir dir;
  kf::test::FetchLauncher launcher{KF_FETCH_PROGRAM, dir.path(), dir.path()};
  const std::string home = dir.file("home");
  const std::string notification = dir.file("notification");
  const std::vector<std::string> environment = {"HOME=" + home, "XDG_DOWNLOAD_DIR=", "XDG_CONFIG_HOME=",
                                                "PATH=" + dir.path() + ":/usr/bin:/bin", "KLIPFANG_SHOW_WINDOW=0"};
  kf::site::Server server;
  std::vector<std::string> addresses;
};

TEST_F(FetchProgramTest, ASecondHiddenStartHandsItsAddressToTheWindowAndEnds) {
  const pid_t window = launcher.start(addresses[0], environment);
  ASSERT_GT(window, 0);
  EXPECT_TRUE(takeNotification().starts_with("unset\n--app-name=Klipfang\n--\nDownload abgeschlossen\n"));

  // The second start ends of itself: a window of its own would stay until closed.
  EXPECT_EQ(kf::test::runProgram(launcher.path(), addresses[1], environment), 0);
  EXPECT_TRUE(takeNotification().find("Download abgeschlossen") != std::string::npos);
  EXPECT_EQ(::waitpid(window, nullptr, WNOHANG), 0) << "the window stays after the last download";
  // Both went into the folder the user-dirs file names, which the window made.
  EXPECT_EQ(filesIn(home + "/Herunterladen").size(), 2U);
  // The notifications' programs were the window thread's children, and no zombie of theirs stays.
  const std::string children = "/proc/" + std::to_string(window) + "/task/" + std::to_string(window) + "/children";
  EXPECT_TRUE(kf::test::eventually([&] { return readFile(children).empty(); })) << readFile(children);
}

// Without a runtime folder, and with the one under /tmp made first by another user, the starts meet in
// a folder of the user's own cache, however deep it lies. Each start gets a /tmp of its own in a mount
// namespace: an overlay that shows the whole of the old one (the program, the build, whatever the
// sanitizers read may lie there) and where root makes the foreign folder; the test's folder is bound
// into it so that what the start writes there reaches the test.
TEST_F(FetchProgramTest, WithoutARuntimeFolderTheStartsMeetInTheUsersCache) {
  if (::geteuid() != 0 || !std::filesystem::is_directory("/mnt") || std::system("unshare -m true 2>/dev/null") != 0) {
    GTEST_SKIP() << "needs root and a mount namespace of its own";
  }
  const std::string cache = dir.file(std::string(70, 'c') + "/" + std::string(40, 'd'));
  std::filesystem::create_directories(cache);
  std::filesystem::create_directory(dir.file("own-tmp"));
  const std::string quoted = "'" + dir.path() + "'";
  kf::test::FetchLauncher ownTmp{
      KF_FETCH_PROGRAM, dir.file("own-tmp"), dir.file("own-tmp"),
      "if [ -z \"$KF_OWN_TMP\" ]; then export KF_OWN_TMP=1; exec unshare -m \"$0\" \"$@\"; fi\n"
      "mount -t tmpfs tmpfs /mnt && mkdir /mnt/upper /mnt/work /mnt/kept && mount --bind " +
          quoted +
          " /mnt/kept && mount -t overlay overlay -o lowerdir=/tmp,upperdir=/mnt/upper,workdir=/mnt/work /tmp && "
          "mount --move /mnt/kept " +
          quoted +
          " && rm -rf /tmp/klipfang-0 && mkdir -m 700 /tmp/klipfang-0 && chown 65534 /tmp/klipfang-0 || exit 9\n"};
  std::vector<std::string> without = environment;
  without.insert(without.end(), {"XDG_RUNTIME_DIR=", "XDG_CACHE_HOME=" + cache});

  ASSERT_GT(ownTmp.start(addresses[0], without), 0);
  EXPECT_TRUE(takeNotification().find("Download abgeschlossen") != std::string::npos);
  const pid_t second = ownTmp.start(addresses[1], without);
  int status = -1;
  EXPECT_TRUE(kf::test::eventually([&] { return ::waitpid(second, &status, WNOHANG) == second; }))
      << "the second start hands its address over and ends";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(takeNotification().find("Download abgeschlossen") != std::string::npos);
  EXPECT_EQ(filesIn(home + "/Herunterladen").size(), 2U);
}

}  // namespace
