// `make install` into a temporary prefix and the launcher it puts in place: started without
// arguments, it brings the installed site along when nothing answers at the program's site address,
// and stops that site when the program ends. The install takes the place of an older one's menu entry.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>

#include "app/folder_claim.h"
#include "download/programs.h"
#include "platform/os/instance/hand_over.h"
#include "site/http_probe.h"
#include "start/started_program.h"
#include "support/temp_dir.h"

namespace kf {
namespace {

using namespace std::chrono_literals;

bool siteAnswers(int port) {
  const site::test::Answer answer = site::test::fetch(port, "GET", "/", "localhost:" + std::to_string(port));
  return answer.status == 200 && answer.body.find("Willkommen bei Klipfang") != std::string::npos;
}

TEST(InstallTest, TheLauncherStartsTheInstalledSiteAndStopsItWhenTheProgramEnds) {
  const test::TempDir prefix;
  const std::string log = prefix.file("install.log");
  // What an install under the program's own name left: its menu entry and its icon.
  const std::string oldEntry = prefix.file("share/applications/klipfang.desktop");
  const std::string oldIcon = prefix.file("share/icons/hicolor/scalable/apps/klipfang.svg");
  std::filesystem::create_directories(prefix.file("share/applications"));
  std::filesystem::create_directories(prefix.file("share/icons/hicolor/scalable/apps"));
  test::writeFile(oldEntry, "[Desktop Entry]\nExec=\"" + prefix.file("bin/klipfang") + "\"\n");
  test::writeFile(oldIcon, test::readFile(std::string(KF_BUILD_DIR) + "/klipfang/gfx/klipfang.svg"));
  test::StartedProgram install(KF_CMAKE, {"--install", KF_BUILD_DIR, "--prefix", prefix.path()}, log);
  ASSERT_EQ(install.exitStatus(), 0) << test::readFile(log);
  const std::string appDir = std::filesystem::canonical(prefix.file("lib/klipfang"));
  ASSERT_TRUE(std::filesystem::exists(appDir + "/klipfang-site"));
  ASSERT_TRUE(std::filesystem::exists(appDir + "/site/catalogue.txt"));
  EXPECT_TRUE(std::filesystem::exists(prefix.file("share/applications/de.klipfang.Klipfang.desktop")));
  EXPECT_FALSE(std::filesystem::exists(oldEntry)) << "Klipfang would be in the menu twice";
  EXPECT_FALSE(std::filesystem::exists(oldIcon));

  const std::string launcher = prefix.file("bin/klipfang");
  std::smatch port;
  const std::string script = test::readFile(launcher);
  ASSERT_TRUE(std::regex_search(script, port, std::regex("\nsite_port=([0-9]*)\n")));
  if (port[1].length() == 0) GTEST_SKIP() << "the program is built for a site on another machine";
  const int sitePort = std::stoi(port[1]);
  if (site::test::fetch(sitePort, "GET", "/", "localhost").connected) {
    GTEST_SKIP() << "something answers on port " << sitePort << " already";
  }

  test::StartedProgram help(launcher, {"--help"}, log);
  EXPECT_EQ(help.exitStatus(), 0);
  EXPECT_EQ(test::readFile(log).rfind("Aufruf: klipfang", 0), 0U) << "the arguments reach the program";
  EXPECT_FALSE(siteAnswers(sitePort)) << "no site for a start with arguments";

  test::StartedProgram started(launcher, {});
  EXPECT_TRUE(test::eventually([&] { return siteAnswers(sitePort); }));
  ASSERT_TRUE(instance::handOver(app::handOverPathFor(appDir), "show", 60s)) << "the program runs";
  const std::vector<pid_t> programs = test::processesOf(appDir + "/klipfang");
  ASSERT_EQ(programs.size(), 1U);
  ::kill(programs.front(), SIGTERM);
  EXPECT_TRUE(started.exitStatus()) << "the launcher ends with the program";
  EXPECT_FALSE(site::test::fetch(sitePort, "GET", "/", "localhost").connected);
  EXPECT_TRUE(test::processesOf(appDir + "/klipfang-site").empty());
}

}  // namespace
}  // namespace kf
