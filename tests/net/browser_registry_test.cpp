// The browser's open command as the registry answers it, and the program path read from it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "net/r_general.h"
#include "net/r_registry.h"
#include "platform/os/shell/registry.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace {

const std::string kBrowserKey = "Applications\\iexplore.exe\\shell\\open\\command";

// The program folder has capitals and a blank in its path: the path must reach the registry as it is.
class BrowserRegistryTest : public ::testing::Test {
 protected:
  std::string programFolder(const std::string &name) {
    std::string folder = dir.file(name);
    std::filesystem::create_directories(folder);
    return folder;
  }

  kf::test::TempDir dir;
  const std::string record = dir.file("record");
  const std::string browser = programFolder("Mein Browser") + "/klipfang-fetch";
  const kf::shell::BrowserRegistration registration{dir.file("Mein Browser")};
};

TEST_F(BrowserRegistryTest, RegistryAnswersTheQuotedBrowserProgramUnderItsKeyOnly) {
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
  {
    const kf::shell::BrowserRegistration empty(programFolder("leer"));
    EXPECT_EQ(command(kBrowserKey), "\"" + dir.file("leer/klipfang-fetch") + "\" %1");
    const std::string quoted = programFolder("say \"hi\"");
    kf::test::writeRecordingScript(quoted + "/klipfang-fetch", record);
    const kf::shell::BrowserRegistration unquotable(quoted);
    EXPECT_EQ(command(kBrowserKey), "");
  }
  // The registration in force before comes back when a later one ends.
  EXPECT_EQ(command(kBrowserKey), "\"" + browser + "\" %1");
}

TEST(BrowserProgramPath, IsTheQuotedPathBeforeABlank) {
  EXPECT_EQ(kf::net::rBrowserProgramPath("\"C:\\Prog\\IE\\IEXPLORE.EXE\" -nohome"), "C:\\Prog\\IE\\IEXPLORE.EXE");
  EXPECT_EQ(kf::net::rBrowserProgramPath("\"/opt/Web Browser/run\" %1"), "/opt/Web Browser/run");
  EXPECT_EQ(kf::net::rBrowserProgramPath("C:\\Prog\\IE\\IEXPLORE.EXE -nohome"), "");
  EXPECT_EQ(kf::net::rBrowserProgramPath("\"C:\\Prog\\IE\\IEXPLORE.EXE\""), "");
  EXPECT_EQ(kf::net::rBrowserProgramPath(""), "");
}

}  // namespace
