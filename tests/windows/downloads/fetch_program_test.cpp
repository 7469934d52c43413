// klipfang-fetch as Klipfang starts it: hidden starts that share one downloads window.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "site/http/server.h"
#include "support/environment_variable.h"
#include "support/http_test_server.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace {

using kf::test::filesIn;
using kf::test::readFile;

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
