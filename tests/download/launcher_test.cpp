// The browser's open command, the detached start of the browser program, and klipfang-fetch
// handing pages to the desktop's browser.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "download/programs.h"
#include "net/r_general.h"
#include "net/r_registry.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/shell/registry.h"
#include "platform/shell/shell_execute.h"
#include "platform/text/cp1252.h"
#include "support/temp_dir.h"

namespace {

using kf::test::eventually;
using kf::test::readFile;
using kf::ui::MousePointer;
namespace text = kf::text;

const std::string kBrowserKey = "Applications\\iexplore.exe\\shell\\open\\command";

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kf::ui::setToolkit(tk);
    // Capitals and a blank in the path: the path must reach the system as it is.
    std::filesystem::create_directory(dir.file("Mein Browser"));
    browser = dir.file("Mein Browser/Browser");
    record = dir.file("record");
    kf::test::writeRecordingScript(browser, record);
    kf::shell::setBrowserProgram(browser);
  }
  void TearDown() override { kf::shell::setBrowserProgram(""); }

  std::string waitForRecord() {
    EXPECT_TRUE(eventually([&] { return std::filesystem::exists(record); }));
    std::string text = readFile(record);
    std::filesystem::remove(record);
    return text;
  }

  kf::ui::HeadlessToolkit tk;
  kf::test::TempDir dir;
  std::string browser;
  std::string record;
};

TEST_F(LauncherTest, RegistryAnswersTheQuotedBrowserProgramUnderItsKeyOnly) {
  const auto command = [](const std::string &key, const std::string &value = "") {
    return kf::net::rRegGetString(kf::shell::HKEY_CLASSES_ROOT, key, value);
  };
  EXPECT_EQ(command(kBrowserKey), "\"" + browser + "\" %1");
  // Key names ignore letter case, as the registry's do.
  EXPECT_EQ(command("APPLICATIONS\\IEXPLORE.EXE\\shell\\OPEN\\command"), "\"" + browser + "\" %1");
  EXPECT_EQ(command("Applications\\other.exe\\shell\\open\\command"), "");
  EXPECT_EQ(command(kBrowserKey, "Name"), "");
  EXPECT_EQ(kf::net::rRegGetString(kf::shell::HKEY_CLASSES_ROOT + 1, kBrowserKey, ""), "");

  // A program that is not there still has its command, as a registry entry outlives its program;
  // one whose path a quote would cut short has none.
  kf::shell::setBrowserProgram(dir.file("missing"));
  EXPECT_EQ(command(kBrowserKey), "\"" + dir.file("missing") + "\" %1");
  const std::string quoted = dir.file("say \"hi\"");
  kf::test::writeRecordingScript(quoted, record);
  kf::shell::setBrowserProgram(quoted);
  EXPECT_EQ(command(kBrowserKey), "");
}

TEST_F(LauncherTest, AProgramFolderPathOfAnyLengthWorks) {
  // Far beyond the 256 bytes a registry read once offered.
  std::string folder = dir.path();
  for (int depth = 0; depth < 9; ++depth) folder += "/" + std::string(100, 'd');
  std::filesystem::create_directories(folder);
  kf::test::writeRecordingScript(folder + "/b", record);
  kf::shell::setBrowserProgram(folder + "/b");
  EXPECT_EQ(kf::net::rRegGetString(kf::shell::HKEY_CLASSES_ROOT, kBrowserKey, ""), "\"" + folder + "/b\" %1");
  kf::net::rOpenInBrowser("http://localhost:1/", false);
  EXPECT_EQ(waitForRecord(), "0\nhttp://localhost:1/\n");
  EXPECT_TRUE(tk.messages().empty());
}

TEST(BrowserProgramPath, IsTheQuotedPathBeforeABlank) {
  EXPECT_EQ(kf::net::rBrowserProgramPath("\"C:\\Prog\\IE\\IEXPLORE.EXE\" -nohome"), "C:\\Prog\\IE\\IEXPLORE.EXE");
  EXPECT_EQ(kf::net::rBrowserProgramPath("\"/opt/Web Browser/run\" %1"), "/opt/Web Browser/run");
  EXPECT_EQ(kf::net::rBrowserProgramPath("C:\\Prog\\IE\\IEXPLORE.EXE -nohome"), "");
  EXPECT_EQ(kf::net::rBrowserProgramPath("\"C:\\Prog\\IE\\IEXPLORE.EXE\""), "");
  EXPECT_EQ(kf::net::rBrowserProgramPath(""), "");
}

TEST_F(LauncherTest, StartsTheBrowserWithTheAddressAndItsShowMode) {
  // Nothing in the address is read by a shell.
  const std::string address = "http://localhost:1/get_video.php?a=1&b=$(touch pwned) ;`touch pwned2` \"'x";

  kf::net::rOpenInBrowser(address, true);
  EXPECT_EQ(waitForRecord(), "1\n" + address + "\n");
  kf::net::rOpenInBrowser(address, false);
  EXPECT_EQ(waitForRecord(), "0\n" + address + "\n");

  EXPECT_FALSE(std::filesystem::exists("pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned2"));
  EXPECT_EQ(tk.pointerHistory(), (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default,
                                                            MousePointer::Hourglass, MousePointer::Default}));
}

TEST_F(LauncherTest, AProgramThatCannotStartIsToldAndThePointerComesBack) {
  kf::test::writeFile(dir.file("not executable"), "#!/bin/sh\n");
  kf::test::writeFile(dir.file("no program"), "just text");
  ASSERT_EQ(::chmod(dir.file("no program").c_str(), 0755), 0);
  const std::pair<std::string, std::string> cases[] = {
      {dir.file("missing"), "Es fehlt."},
      {dir.file("not executable"), text::cp1252(u8"Es ist nicht ausführbar.")},
      {dir.file("no program"), text::cp1252(u8"Es ist kein ausführbares Programm.")},
  };
  for (const auto &[program, reason] : cases) {
    SCOPED_TRACE(program);
    kf::shell::setBrowserProgram(program);
    kf::net::rOpenInBrowser("http://localhost:1/", false);
    EXPECT_EQ(tk.messages().back().text,
              text::cp1252(u8"Das Programm „") + program + text::cp1252(u8"“ kann nicht gestartet werden. ") + reason);
    EXPECT_EQ(tk.messages().back().title, "Klipfang");
  }
  EXPECT_EQ(tk.messages().size(), std::size(cases));
  EXPECT_EQ(tk.pointerHistory().back(), MousePointer::Default);

  // No program at all: a path the command cannot hold.
  kf::shell::setBrowserProgram(dir.file("say \"hi\""));
  kf::net::rOpenInBrowser("http://localhost:1/", true);
  EXPECT_EQ(tk.messages().back().text,
            text::cp1252(u8"Es ist kein Programm eingerichtet, das die Adresse öffnen könnte."));
}

TEST_F(LauncherTest, StartedProgramIsDetachedAndHoldsNoneOfOurDescriptors) {
  // A descriptor of ours that is not marked close-on-exec.
  const int ours = ::open(dir.file("ours").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(ours, 3);
  const std::string fd = std::to_string(ours);
  kf::test::writeScript(dir.file("probe"), "{ echo \"$PPID\"; [ -e /proc/$$/fd/" + fd +
                                               " ] && echo open || echo closed; cat; echo end; } > '" + record +
                                               ".tmp' && mv '" + record + ".tmp' '" + record + "'\n");

  ASSERT_TRUE(kf::shell::shellExecute(dir.file("probe"), "x", kf::shell::SW_HIDE));
  const std::string text = waitForRecord();
  ::close(ours);

  // Not our child (no zombie of ours can be left), none of our files, empty input.
  EXPECT_NE(text.substr(0, text.find('\n')), std::to_string(::getpid()));
  EXPECT_EQ(text.substr(text.find('\n') + 1), "closed\nend\n");
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(LauncherTest, FetchStartedVisibleHandsWebPagesToXdgOpen) {
  kf::test::writeRecordingScript(dir.file("xdg-open"), record);
  const std::vector<std::string> environment = {"PATH=" + dir.path() + ":/usr/bin:/bin",
                                                std::string(kf::shell::kShowModeVariable) + "=1"};

  EXPECT_EQ(kf::test::runProgram(KF_FETCH_PROGRAM, "http://localhost:8480/klipfang", environment), 0);
  // The show mode is ours; the desktop's browser does not inherit it.
  EXPECT_EQ(readFile(record), "unset\nhttp://localhost:8480/klipfang\n");
  std::filesystem::remove(record);

  // A local file or another scheme could start a program through the desktop's opener.
  for (const std::string address : {"file:///etc/passwd", "/bin/sh", "--help", "javascript:alert(1)"}) {
    EXPECT_EQ(kf::test::runProgram(KF_FETCH_PROGRAM, address, environment), 2) << address;
  }
  EXPECT_FALSE(std::filesystem::exists(record));
}

}  // namespace
