// Opening an address in the browser the registry names, the detached start of the browser program,
// and klipfang-fetch handing pages to the desktop's browser.
#include "windows/open_in_browser.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "net/r_registry.h"
#include "platform/base/cp1252.h"
#include "platform/os/shell/registry.h"
#include "platform/os/shell/shell_execute.h"
#include "platform/ui/headless_toolkit.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace {

using kf::test::eventually;
using kf::test::readFile;
using kf::ui::MousePointer;
namespace text = kf::text;

const std::string kBrowserKey = "Applications\\iexplore.exe\\shell\\open\\command";

// The program folder has capitals and a blank in its path: the path must reach the system as it is.
class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kf::ui::setToolkit(tk);
    kf::test::writeRecordingScript(browser, record);
  }

  // A program folder of its own, with `launcher` written into it as klipfang-fetch when given.
  std::string programFolder(const std::string &name, const std::string &launcher = "") {
    std::string folder = dir.file(name);
    std::filesystem::create_directories(folder);
    if (!launcher.empty()) kf::test::writeFile(folder + "/klipfang-fetch", launcher);
    return folder;
  }

  std::string waitForRecord() {
    EXPECT_TRUE(eventually([&] { return std::filesystem::exists(record); }));
    std::string text = readFile(record);
    std::filesystem::remove(record);
    return text;
  }

  kf::ui::HeadlessToolkit tk;
  kf::test::TempDir dir;
  const std::string record = dir.file("record");
  const std::string browser = programFolder("Mein Browser") + "/klipfang-fetch";
  const kf::shell::BrowserRegistration registration{dir.file("Mein Browser")};
};

TEST_F(LauncherTest, AProgramFolderPathOfAnyLengthWorks) {
  // Far beyond the 256 bytes the first registry read offers.
  std::string folder = dir.path();
  for (int depth = 0; depth < 9; ++depth) folder += "/" + std::string(100, 'd');
  std::filesystem::create_directories(folder);
  kf::test::writeRecordingScript(folder + "/klipfang-fetch", record);
  const kf::shell::BrowserRegistration deep(folder);
  EXPECT_EQ(kf::net::rRegGetString(kf::shell::HKEY_CLASSES_ROOT, kBrowserKey, ""),
            "\"" + folder + "/klipfang-fetch\" %1");
  kf::windows::rOpenInBrowser("http://localhost:1/", false);
  EXPECT_EQ(waitForRecord(), "0\nhttp://localhost:1/\n");
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(LauncherTest, StartsTheBrowserWithTheAddressAndItsShowMode) {
  // Nothing in the address is read by a shell.
  const std::string address = "http://localhost:1/get_video.php?a=1&b=$(touch pwned) ;`touch pwned2` \"'x";

  kf::windows::rOpenInBrowser(address, true);
  EXPECT_EQ(waitForRecord(), "1\n" + address + "\n");
  kf::windows::rOpenInBrowser(address, false);
  EXPECT_EQ(waitForRecord(), "0\n" + address + "\n");

  EXPECT_FALSE(std::filesystem::exists("pwned"));
  EXPECT_FALSE(std::filesystem::exists("pwned2"));
  EXPECT_EQ(tk.pointerHistory(), (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default,
                                                            MousePointer::Hourglass, MousePointer::Default}));
}

TEST_F(LauncherTest, AProgramThatCannotStartIsToldAndThePointerComesBack) {
  const std::string notExecutable = programFolder("not executable", "#!/bin/sh\n");
  const std::string noProgram = programFolder("no program", "just text");
  ASSERT_EQ(::chmod((noProgram + "/klipfang-fetch").c_str(), 0755), 0);
  const std::pair<std::string, std::string> cases[] = {
      {programFolder("missing"), "Es fehlt."},
      {notExecutable, text::cp1252(u8"Es ist nicht ausführbar.")},
      {noProgram, text::cp1252(u8"Es ist kein ausführbares Programm.")},
  };
  for (const auto &[folder, reason] : cases) {
    SCOPED_TRACE(folder);
    const std::string program = folder + "/klipfang-fetch";
    const kf::shell::BrowserRegistration registered(folder);
    kf::windows::rOpenInBrowser("http://localhost:1/", false);
    EXPECT_EQ(tk.boxes.shown().back().text,
              text::cp1252(u8"Das Programm „") + program + text::cp1252(u8"“ kann nicht gestartet werden. ") + reason);
    EXPECT_EQ(tk.boxes.shown().back().title, "Klipfang");
  }
  EXPECT_EQ(tk.boxes.shown().size(), std::size(cases));
  EXPECT_EQ(tk.pointerHistory().back(), MousePointer::Default);

  // No program at all: a path the command cannot hold.
  const kf::shell::BrowserRegistration unquotable(programFolder("say \"hi\""));
  kf::windows::rOpenInBrowser("http://localhost:1/", true);
  EXPECT_EQ(tk.boxes.shown().back().text,
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

  ASSERT_TRUE(kf::shell::shellExecute(dir.file("probe"), "x", kf::shell::SW_HIDE, [](const std::string &) {}));
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
