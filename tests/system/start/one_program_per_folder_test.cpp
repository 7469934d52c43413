// The real program, started offscreen from a program folder of its own as a user starts it: one
// running program per folder, the command line read before the folder is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "platform/os/instance/hand_over.h"
#include "support/program_folder.h"
#include "support/started_program.h"
#include "windows/folder_claim.h"

namespace kf {
namespace {

using namespace std::chrono_literals;

// Every file and folder under `root` with its size, its time of last change and, for the program's
// small files, its bytes.
std::map<std::string, std::string> snapshot(const std::string &root) {
  std::map<std::string, std::string> found;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    std::string state = std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
                        std::to_string(info.st_mtim.tv_nsec);
    if (entry.is_regular_file() && info.st_size < 64 * 1024) state += " " + test::readFile(entry.path());
    found[entry.path().string()] = state;
  }
  return found;
}

// A program folder with the program in it, so that the program takes it for its own.
class Folder : public test::ProgramFolder {
 public:
  Folder() { std::filesystem::copy_file(KF_PROGRAM, program()); }
  std::string program() const { return file("klipfang"); }
  // Whether a program holds this folder and takes a later start's word.
  bool answers() const { return instance::handOver(windows::handOverPathFor(path()), "show", 60s); }
};

TEST(OneProgramPerFolder, ASecondStartBringsTheFirstForwardAndTouchesNothing) {
  const Folder folder;
  test::StartedProgram first(folder.program(), {});
  ASSERT_TRUE(folder.answers());
  const auto before = snapshot(folder.path());

  test::StartedProgram second(folder.program(), {"--site", "http://anderswo:9"});
  EXPECT_EQ(second.exitStatus(), 0) << "the first took the word to come forward";
  EXPECT_EQ(snapshot(folder.path()), before);
  EXPECT_TRUE(first.running());
}

TEST(OneProgramPerFolder, AKilledProgramLeavesNoLockBehind) {
  const Folder folder;
  {
    test::StartedProgram first(folder.program(), {});
    ASSERT_TRUE(folder.answers());
    first.kill(SIGKILL);
    EXPECT_FALSE(first.exitStatus());
  }
  test::StartedProgram next(folder.program(), {});
  EXPECT_TRUE(folder.answers()) << "the next start runs and listens in place of the killed one";
  EXPECT_TRUE(next.running());
}

TEST(OneProgramPerFolder, TwoFoldersRunSideBySide) {
  const Folder one;
  const Folder other;
  test::StartedProgram first(one.program(), {});
  test::StartedProgram second(other.program(), {});
  EXPECT_TRUE(one.answers());
  EXPECT_TRUE(other.answers());
  EXPECT_TRUE(first.running());
  EXPECT_TRUE(second.running());
}

TEST(OneProgramPerFolder, TheCommandLineIsCheckedBeforeTheFolderIsTouched) {
  const Folder folder;
  std::filesystem::remove_all(folder.file("dat"));
  const auto before = snapshot(folder.path());
  const std::string output = folder.file("../output");

  // Without a screen the complaint goes to standard error alone, where a test can read it.
  test::StartedProgram refused(folder.program(), {"--site", "ftp://videos.lan"}, output,
                               {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
  EXPECT_EQ(refused.exitStatus(), 2);
  EXPECT_NE(test::readFile(output).find("klipfang: Keine gültige Adresse der Videoseite: \"ftp://videos.lan\""),
            std::string::npos)
      << test::readFile(output);
  EXPECT_EQ(snapshot(folder.path()), before);

  test::StartedProgram help(folder.program(), {"--help"}, output, {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
  EXPECT_EQ(help.exitStatus(), 0);
  EXPECT_EQ(test::readFile(output).rfind("Aufruf: klipfang [--site http://HOST[:PORT][/SCHLÜSSEL]]\n", 0), 0U);
  EXPECT_EQ(snapshot(folder.path()), before);
}

}  // namespace
}  // namespace kf
