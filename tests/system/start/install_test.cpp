// `make install` into a temporary prefix and the launcher it puts in place, started as a user of
// the computer would start it: without arguments it brings a site of that user's own along, on his
// port, ending with the launcher; a site of another user on that port is not used. With --library it
// brings one on his folder of videos, or uses the one that serves it. The install takes the place of
// an older one's menu entry.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/http/host_pins.h"
#include "platform/http/http_client.h"
#include "platform/os/port_owners.h"
#include "support/http_probe.h"
#include "support/library_folder.h"
#include "support/programs.h"
#include "support/started_program.h"
#include "support/temp_dir.h"
#include "windows/own_site.h"

namespace kf {
namespace {

bool siteAnswers(int port) {
  const site::test::Answer answer = site::test::fetch(port, "GET", "/", "localhost:" + std::to_string(port));
  return answer.status == 200 && answer.body.find("Willkommen bei Klipfang") != std::string::npos;
}

// The site of the user's videos at `address` ("http://127.0.0.1:PORT/KEY") answers while it reads the
// folder: the clip shows once it is read.
bool findsTheCheese(const std::string &address) {
  const std::string hostAndPath = address.substr(std::string("http://127.0.0.1:").size());
  const int port = std::stoi(hostAndPath);
  const std::string target = hostAndPath.substr(hostAndPath.find('/')) + "/results?search_query=kaese&search=Search";
  return test::eventually([&] {
    return site::test::fetch(port, "GET", target, "localhost").body.find("Käse aus der Straße") != std::string::npos;
  });
}

// Whether `address` is a site of the user's videos on `port` of this computer, with a key.
bool keyedSiteOn(int port, const std::string &address) {
  const std::string start = "http://127.0.0.1:" + std::to_string(port) + "/";
  return address.starts_with(start) && address.size() == start.size() + 32 &&
         address.find_first_not_of("0123456789abcdef", start.size()) == std::string::npos;
}

// Started so, the program can only say why it does not start on standard error, where tests read it.
const std::vector<std::string> kNoScreen = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};

// One install for the group; each test starts the launcher as users of its own, whose ids follow
// from the test's process id, so that runs side by side meet neither each other's sites nor a real
// user's.
class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new test::TempDir;
    const std::string log = prefix_->file("install.log");
    // What an install under the program's own name left: its menu entry and its icon.
    std::filesystem::create_directories(prefix_->file("share/applications"));
    std::filesystem::create_directories(prefix_->file("share/icons/hicolor/scalable/apps"));
    test::writeFile(oldEntry(), "[Desktop Entry]\nExec=\"" + prefix_->file("bin/klipfang") + "\"\n");
    test::writeFile(oldIcon(), test::readFile(std::string(KF_BUILD_DIR) + "/klipfang/gfx/klipfang.svg"));
    test::StartedProgram install(KF_CMAKE, {"--install", KF_BUILD_DIR, "--prefix", prefix_->path()}, log);
    installed_ = install.exitStatus() == 0;
    if (!installed_) ADD_FAILURE() << test::readFile(log);
    std::filesystem::permissions(prefix_->path(),
                                 std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
  }
  static void TearDownTestSuite() { delete prefix_; }
  static std::string oldEntry() { return prefix_->file("share/applications/klipfang.desktop"); }
  static std::string oldIcon() { return prefix_->file("share/icons/hicolor/scalable/apps/klipfang.svg"); }

  void SetUp() override {
    ASSERT_TRUE(installed_);
    if (!std::filesystem::exists("/usr/bin/setpriv") ||
        test::StartedProgram("/usr/bin/setpriv", asUser(user, {"true"})).exitStatus() != 0) {
      GTEST_SKIP() << "no other user can be taken on here (setpriv needs root)";
    }
    if (site::test::fetch(port, "GET", "/", "localhost").connected) {
      GTEST_SKIP() << "something answers on port " << port << " already";
    }
  }

  static std::string appDir() { return prefix_->file("lib/klipfang"); }
  static std::string launcher() { return prefix_->file("bin/klipfang"); }

  // A folder of the user's own in the prefix: his home, his runtime folder.
  std::string folderOf(unsigned uid, const std::string &name) const {
    std::string folder = prefix_->file(name + "-" + std::to_string(uid));
    std::filesystem::create_directories(folder);
    EXPECT_EQ(::chown(folder.c_str(), uid, uid), 0);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    return folder;
  }

  // `command` run as `uid` in his own home, less the variables named in `unset`.
  std::vector<std::string> asUser(unsigned uid, const std::vector<std::string> &command,
                                  const std::vector<std::string> &unset = {}) const {
    const std::string id = std::to_string(uid);
    std::vector<std::string> words = {"--reuid", id, "--regid", id, "--clear-groups", "--", "env"};
    for (const std::string &name : unset) words.insert(words.end(), {"-u", name});
    words.insert(words.end(), {"HOME=" + folderOf(uid, "home"), "XDG_RUNTIME_DIR=" + folderOf(uid, "run")});
    words.insert(words.end(), command.begin(), command.end());
    return words;
  }

  // The installed folder is root's: the user runs his own copy of the program, under his home.
  std::string programOf(unsigned uid) const { return folderOf(uid, "home") + "/.local/share/klipfang/klipfang"; }

  // The site the user's one program runs against, once it has its folder.
  std::string siteOfProgram(unsigned uid) const {
    const std::vector<pid_t> programs = test::processesOf(programOf(uid));
    if (programs.size() != 1 || !std::filesystem::exists(folderOf(uid, "home") + "/.local/share/klipfang/dat"))
      return {};
    const std::string words = test::readFile("/proc/" + std::to_string(programs.front()) + "/cmdline");
    const std::size_t site = words.find(std::string("--site\0", 7));
    return site == std::string::npos ? "" : words.substr(site + 7, words.find('\0', site + 7) - site - 7);
  }

  // The built-in site of user `other` on this user's port, its requests logged to `requests`.
  std::unique_ptr<test::StartedProgram> siteOfAnother(unsigned other, const std::string &requests) const {
    return std::make_unique<test::StartedProgram>(
        "/usr/bin/setpriv", asUser(other, {appDir() + "/klipfang-site", "--port", std::to_string(port), "--data",
                                           appDir() + "/site", "--log", requests}));
  }

  // A folder of clips of the user's, in his home.
  std::string videosOf(unsigned uid) const {
    std::string folder = folderOf(uid, "home") + "/Videos";
    std::filesystem::copy(site::test::clipFolder(), folder,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
      EXPECT_EQ(::lchown(entry.path().c_str(), uid, uid), 0);
    }
    return folder;
  }

  const unsigned user = 40000 + ::getpid() % 10000;
  const int port = 20000 + static_cast<int>(user % 10000);
  inline static test::TempDir *prefix_ = nullptr;
  inline static bool installed_ = false;
};

TEST_F(InstallTest, TheLauncherStartsTheUsersOwnSiteAndItEndsWithTheLauncher) {
  const std::string output = prefix_->file("output");
  test::StartedProgram help("/usr/bin/setpriv", asUser(user, {launcher(), "--help"}), output);
  EXPECT_EQ(help.exitStatus(), 0);
  EXPECT_EQ(test::readFile(output).rfind("Aufruf: klipfang", 0), 0U) << "the arguments reach the program";
  EXPECT_NE(test::readFile(output).find("klipfang --library ORDNER"), std::string::npos);
  EXPECT_FALSE(siteAnswers(port)) << "no site for a start with arguments";
  // Root, who could write into the installed folder, runs a copy in his home as every user does.
  test::StartedProgram rootHelp("/usr/bin/setpriv", asUser(0, {launcher(), "--help"}));
  EXPECT_EQ(rootHelp.exitStatus(), 0);
  EXPECT_TRUE(std::filesystem::exists(programOf(0)));

  const std::string program = programOf(user);
  const auto runs = [&] { return !siteOfProgram(user).empty(); };
  {
    test::StartedProgram started("/usr/bin/setpriv", asUser(user, {launcher()}));
    EXPECT_TRUE(test::eventually([&] { return siteAnswers(port); }));
    ASSERT_TRUE(test::eventually(runs)) << "the program runs against the site";
    EXPECT_EQ(siteOfProgram(user), "http://127.0.0.1:" + std::to_string(port));
    ::kill(test::processesOf(program).front(), SIGTERM);
    EXPECT_TRUE(started.exitStatus()) << "the launcher ends with the program";
    EXPECT_FALSE(site::test::fetch(port, "GET", "/", "localhost").connected) << "and its site with it";
  }
  // A launcher killed outright leaves no site behind either, and nothing stopped it by its id.
  test::StartedProgram started("/usr/bin/setpriv", asUser(user, {launcher()}));
  ASSERT_TRUE(test::eventually(runs));
  ASSERT_TRUE(siteAnswers(port));
  started.kill(SIGKILL);
  EXPECT_TRUE(test::eventually([&] { return !site::test::fetch(port, "GET", "/", "localhost").connected; }));
  EXPECT_EQ(test::processesOf(program).size(), 1U) << "the program goes on without it";
}

TEST_F(InstallTest, AnotherUsersSiteOnTheUsersPortIsNotUsedAndTheUserIsToldWhy) {
  const unsigned other = user + 1;
  const std::string requests = folderOf(other, "home") + "/requests.log";
  const auto foreign = siteOfAnother(other, requests);
  ASSERT_TRUE(test::eventually([&] { return siteAnswers(port); }));
  const std::string probed = test::readFile(requests);

  // No screen: the reason goes to standard error alone, where the test reads it.
  const std::string output = prefix_->file("output");
  test::StartedProgram started("/usr/bin/setpriv", asUser(user, {launcher()}, kNoScreen), output);
  EXPECT_EQ(started.exitStatus(), 1);
  const std::string root = "http://127.0.0.1:" + std::to_string(port);
  EXPECT_NE(test::readFile(output).find("klipfang: Klipfang verwendet die Videoseite unter " + root +
                                        " nicht: Den Port " + std::to_string(port) +
                                        " auf diesem Computer hält ein Programm des Benutzers mit der Kennung " +
                                        std::to_string(other) + ". "),
            std::string::npos)
      << test::readFile(output);
  // Only the launcher asked whether the site answers without a key; the program asked nothing.
  const std::string asked = test::readFile(requests).substr(probed.size());
  EXPECT_EQ(std::count(asked.begin(), asked.end(), '\n'), 1) << asked;
  EXPECT_NE(asked.find("\tHEAD\t/\tHost: localhost\tUser-Agent: \n"), std::string::npos) << asked;
  EXPECT_TRUE(test::processesOf(programOf(user)).empty());
  EXPECT_EQ(test::processesOf(appDir() + "/klipfang-site").size(), 1U) << "the launcher started no site";
}

TEST_F(InstallTest, ALibraryStartServesItAndLaterStartsUseItOrSayWhy) {
  const std::string videos = videosOf(user);
  test::StartedProgram started("/usr/bin/setpriv", asUser(user, {launcher(), "--library", videos}));
  ASSERT_TRUE(test::eventually([&] { return keyedSiteOn(port, siteOfProgram(user)); }));
  EXPECT_TRUE(findsTheCheese(siteOfProgram(user)));
  const site::test::Answer keyless = site::test::fetch(port, "GET", "/", "localhost");
  EXPECT_EQ(keyless.status, 404);
  EXPECT_EQ(keyless.headers.count("x-klipfang-library"), 0U);
  EXPECT_EQ(keyless.body.find("Videos"), std::string::npos) << "the folder is not named";

  // The same folder by another path: the running program comes forward, with the running site.
  test::StartedProgram again("/usr/bin/setpriv", asUser(user, {launcher(), "--library=" + videos + "/."}));
  EXPECT_EQ(again.exitStatus(), 0);
  // Another folder, which the running program cannot switch to.
  const std::string output = prefix_->file("other-folder");
  test::StartedProgram other("/usr/bin/setpriv", asUser(user, {launcher(), "--library", videos + "/Urlaub"}, kNoScreen),
                             output);
  EXPECT_EQ(other.exitStatus(), 1);
  EXPECT_NE(test::readFile(output).find("klipfang: Klipfang läuft bereits, und ein zweiter Start ändert nicht"),
            std::string::npos)
      << test::readFile(output);
}

TEST_F(InstallTest, ALibraryStartLeavesOtherSitesAloneAndNamesAMissingFolder) {
  test::StartedProgram builtIn("/usr/bin/setpriv", asUser(user, {appDir() + "/klipfang-site", "--port",
                                                                 std::to_string(port), "--data", appDir() + "/site"}));
  ASSERT_TRUE(test::eventually([&] { return siteAnswers(port); }));

  const std::string missing = folderOf(user, "home") + "/Filme";
  const std::string output = prefix_->file("missing-folder");
  test::StartedProgram told("/usr/bin/setpriv", asUser(user, {launcher(), "--library", missing}, kNoScreen), output);
  EXPECT_EQ(told.exitStatus(), 2);
  EXPECT_NE(test::readFile(output).find("klipfang: Den Ordner „" + missing + "“ gibt es nicht."), std::string::npos)
      << test::readFile(output);
  EXPECT_TRUE(test::processesOf(programOf(user)).empty());

  test::StartedProgram started("/usr/bin/setpriv", asUser(user, {launcher(), "--library", videosOf(user)}));
  ASSERT_TRUE(test::eventually([&] { return !siteOfProgram(user).empty(); }));
  const int own = std::stoi(siteOfProgram(user).substr(std::string("http://127.0.0.1:").size()));
  EXPECT_NE(own, port);
  EXPECT_TRUE(keyedSiteOn(own, siteOfProgram(user)));
  EXPECT_TRUE(findsTheCheese(siteOfProgram(user)));
  EXPECT_TRUE(siteAnswers(port)) << "the site on the user's port goes on as it was";
}

// The install alone, whoever may start it.
class MenuEntryTest : public InstallTest {
 protected:
  void SetUp() override { ASSERT_TRUE(installed_); }
};

TEST_F(MenuEntryTest, TheInstallTakesThePlaceOfAnOlderOnesMenuEntry) {
  EXPECT_TRUE(std::filesystem::exists(prefix_->file("share/applications/de.klipfang.Klipfang.desktop")));
  EXPECT_FALSE(std::filesystem::exists(oldEntry())) << "Klipfang would be in the menu twice";
  EXPECT_FALSE(std::filesystem::exists(oldIcon()));
}

TEST(PortOwners, TheKernelTablesNameTheUserOfEachListenerOnThePort) {
  // Port 20000 is 4E20; state 0A is listening, 01 a connection.
  const std::string heading =
      "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode";
  const std::string tail = " 00000000:00000000 00:00000000 00000000  ";
  EXPECT_EQ(ports::listenerOn(heading, 20000), std::nullopt);
  EXPECT_EQ(ports::listenerOn("   0: 0100007F:4E20 00000000:0000 0A" + tail + "1001        0 5 1", 20000), 1001U);
  EXPECT_EQ(ports::listenerOn("  12: 00000000000000000000000001000000:4E20 00000000000000000000000000000000:0000 0A" +
                                  tail + "0        0 7 1",
                              20000),
            0U);
  EXPECT_EQ(ports::listenerOn("   1: 0100007F:4E20 0100007F:A1B2 01" + tail + "1001        0 5 1", 20000),
            std::nullopt);
  EXPECT_EQ(ports::listenerOn("   0: 0100007F:4E21 00000000:0000 0A" + tail + "1001        0 5 1", 20000),
            std::nullopt);
  EXPECT_EQ(ports::listenerOn("   0: 0100007F:4E2G 00000000:0000 0A" + tail + "1001        0 5 1", 20000),
            std::nullopt);
  EXPECT_EQ(ports::listenerOn("   0: 0100007F:4E20 00000000:0000 0A 0:0", 20000), std::nullopt);

  // The hosts as libcurl finds them, and which of their addresses are this computer's.
  const std::vector<std::string> loopback = {"127.0.0.1", "::1"};
  EXPECT_EQ(ports::addressesOf("www.LOCALHOST"), loopback);
  EXPECT_EQ(ports::addressesOf("localhost"), loopback);
  EXPECT_EQ(ports::addressesOf("192.0.2.7"), std::vector<std::string>{"192.0.2.7"});
  EXPECT_EQ(ports::addressesOf("[::1]"), std::vector<std::string>{"::1"});
  for (const char *address : {"127.0.0.1", "127.9.8.7", "0.0.0.0", "::1", "::", "::ffff:127.0.0.1"}) {
    EXPECT_TRUE(ports::isThisComputer(address)) << address;
  }
  for (const char *address : {"192.0.2.7", "2001:db8::1", "::ffff:198.51.100.1", "[::1]", "localhost", ""}) {
    EXPECT_FALSE(ports::isThisComputer(address)) << address;
  }
}

// A name of this computer (its own, from the hosts file) leads to another user's listener as well as
// "localhost" does: refused. A site checked when the program started, whose port another user took
// after a connection to it failed, is checked again before the next request, which never reaches
// that user's site.
TEST_F(InstallTest, AnotherUsersListenerIsRefusedByEveryNameOfThisComputerAndAfterThePortChangedHands) {
  char name[256] = "";
  ::gethostname(name, sizeof name - 1);
  const std::vector<std::string> addresses = ports::addressesOf(name);
  if (std::none_of(addresses.begin(), addresses.end(), ports::isThisComputer)) {
    GTEST_SKIP() << "the name of this computer, " << name << ", does not lead back to it";
  }
  const std::string root = "http://" + std::string(name) + ":" + std::to_string(port);
  http::unpinAll();
  EXPECT_EQ(windows::guardOwnSite({root, root}), std::nullopt) << "nothing listens yet";
  http::Session session("Download", http::ProxyUse::Direct);
  EXPECT_THROW(http::fetchAnswer(session, root + "/"), http::TransferFailed);

  const unsigned other = user + 1;
  const std::string requests = folderOf(other, "home") + "/requests.log";
  const auto foreign = siteOfAnother(other, requests);
  ASSERT_TRUE(test::eventually([&] { return siteAnswers(port); }));
  const std::string probed = test::readFile(requests);
  EXPECT_THROW(http::fetchAnswer(session, root + "/"), http::TransferFailed);
  EXPECT_EQ(test::readFile(requests), probed) << "the program's request reached the other user's site";
  const std::optional<std::string> told = windows::guardOwnSite({root, root});
  ASSERT_TRUE(told);
  EXPECT_NE(told->find("des Benutzers mit der Kennung " + std::to_string(other)), std::string::npos) << *told;
  http::unpinAll();
}

}  // namespace
}  // namespace kf
