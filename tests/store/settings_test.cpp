// The settings file: how its lines are read, and saves that leave a whole file whatever happens.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "platform/base/cp1252.h"
#include "platform/ui/headless_toolkit.h"
#include "store/save_failure.h"
#include "store/settings_file.h"
#include "support/file_size_limit.h"
#include "support/settings_printer.h"
#include "support/temp_dir.h"

namespace kf::store {
namespace {

using test::readFile;
using test::writeFile;

std::set<std::string> entriesOf(const std::string &folder) {
  std::set<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { ui::setToolkit(tk); }
  std::string file() const { return dir.file("sets.cfg"); }

  ui::HeadlessToolkit tk;
  test::TempDir dir;
};

TEST_F(SettingsTest, AnUnreadableFileEndsTheProgramAfterOneMessageAndStays) {
  const std::optional<std::string> files[] = {
      std::nullopt,                                                  // missing
      "respages:3\r\ncleartxt:1\r\npreview:1\r\n",                   // three lines
      "respages:drei\r\ncleartxt:1\r\npreview:1\r\ninfront:1\r\n",   // not a number
      "respages:2.5\r\ncleartxt:1\r\npreview:1\r\ninfront:1\r\n",    // not a whole number
      "respages:32768\r\ncleartxt:1\r\npreview:1\r\ninfront:1\r\n",  // beyond 16 bits
      "respages:\r\ncleartxt:1\r\npreview:1\r\ninfront:1\r\n",       // no value
      "respages:3\r\ncleartxt:1\r\npreview 1\r\ninfront:1\r\n",      // a line without a colon
      "",                                                            // empty
      // Read no further than four short lines could reach: a first line of 5,000 characters.
      "respages:3" + std::string(4990, ' ') + "\r\ncleartxt:1\r\npreview:1\r\ninfront:1\r\n",
  };
  for (const auto &content : files) {
    SCOPED_TRACE(content.value_or("(missing)"));
    test::TempDir folder;
    if (content) writeFile(folder.file("sets.cfg"), *content);
    const auto before = entriesOf(folder.path());
    Settings settings{5, true, true, false};

    try {
      LoadSettings(settings, folder.path());
      ADD_FAILURE() << "loaded";
    } catch (const SettingsUnreadable &unreadable) {
      EXPECT_EQ(unreadable.description(), text::cp1252(u8"Klipfang Einstellungen konnten nicht geladen werden. "
                                                       u8"Bitte informieren sie sich auf unserer Homepage."));
      EXPECT_EQ(SettingsUnreadable::kCaption, text::cp1252(u8"Fehler ist aufgetreten!"));
    }
    EXPECT_EQ(entriesOf(folder.path()), before);
    if (content) {
      EXPECT_EQ(readFile(folder.file("sets.cfg")), *content);
    }
  }
}

TEST_F(SettingsTest, LinesAreReadByPositionAndOnlyAnExactOneSwitchesOn) {
  struct Case {
    std::string file;
    Settings before;
    Settings after;
  };
  const Case cases[] = {
      {"respages:3\r\ncleartxt:1\r\npreview:0\r\ninfront:1\r\n", {}, {3, true, false, true}},
      // Keys are not looked at: misspelt and reordered, line 1 still sets the pages, line 4 the front.
      {"infront:7\r\npreview:0\r\nresp:1\r\ncleartxt:1\r\n", {}, {7, false, true, true}},
      // The value ends at a second colon; LF-only lines and a fifth line are fine.
      {"respages:12:x\ncleartxt:0:1\npreview:1:0\ninfront:0\nextra:1\n",
       {0, true, false, true},
       {12, false, true, false}},
      // Blanks, words and case are not "1".
      {"respages: -7 \r\ncleartxt:ja\r\npreview:true\r\ninfront: 1\r\n",
       {0, true, true, true},
       {-7, true, false, false}},
      {"respages:+20\r\ncleartxt:\r\npreview:1 \r\ninfront:1\r\n", {}, {20, false, false, true}},
      {"respages:-32768\r\ncleartxt:0\r\npreview:1\r\ninfront:01\r\n", {}, {-32768, false, true, false}},
  };
  for (const auto &testCase : cases) {
    SCOPED_TRACE(testCase.file);
    writeFile(file(), testCase.file);
    Settings settings = testCase.before;
    LoadSettings(settings, dir.path());
    EXPECT_EQ(settings, testCase.after);
    EXPECT_TRUE(tk.boxes.shown().empty());
  }
}

TEST_F(SettingsTest, SaveWritesExactlyTheFourLinesAndReplacesTheOldFile) {
  writeFile(file(), "respages:9\r\ncleartxt:1\r\npreview:1\r\ninfront:1\r\nextra:1\r\n");
  SaveSettings({3, true, false, true}, dir.path());
  EXPECT_EQ(readFile(file()), "respages:3\r\ncleartxt:1\r\npreview:0\r\ninfront:1\r\n");
  SaveSettings({-5, false, true, false}, dir.path());
  EXPECT_EQ(readFile(file()), "respages:-5\r\ncleartxt:0\r\npreview:1\r\ninfront:0\r\n");
  EXPECT_EQ(entriesOf(dir.path()), std::set<std::string>{"sets.cfg"});

  Settings loaded;
  LoadSettings(loaded, dir.path());
  EXPECT_EQ(loaded, (Settings{-5, false, true, false}));
}

TEST_F(SettingsTest, AFailedSaveLeavesThePreviousFileWhole) {
  const std::string old = "respages:4\r\ncleartxt:0\r\npreview:1\r\ninfront:0\r\n";
  writeFile(file(), old);
  std::string told;
  try {
    test::FileSizeLimit limit(10);
    SaveSettings({17, true, true, true}, dir.path());
  } catch (const SaveFailed &failed) {
    told = failed.description();
  }
  EXPECT_EQ(readFile(file()), old);
  EXPECT_EQ(entriesOf(dir.path()), std::set<std::string>{"sets.cfg"});

  // A folder in the file's place cannot be replaced either; no temporary file is left behind.
  test::TempDir other;
  std::filesystem::create_directory(other.file("sets.cfg"));
  EXPECT_THROW(SaveSettings({17, true, true, true}, other.path()), SaveFailed);
  EXPECT_TRUE(std::filesystem::is_directory(other.file("sets.cfg")));
  EXPECT_EQ(entriesOf(other.path()), std::set<std::string>{"sets.cfg"});

  // The failure names the file and the reason.
  const std::string said = text::cp1252(u8"Die Einstellungen konnten nicht gespeichert werden.\n\n");
  EXPECT_EQ(told, said + text::cp1252(u8"Datei zu groß: ") + file() +
                      text::cp1252(u8"\n\nEine vorhandene Datei bleibt unverändert."));
}

TEST_F(SettingsTest, ASaveKeepsTheModeAndReplacesTheFileALinkPointsTo) {
  writeFile(file(), "alt");
  ASSERT_EQ(::chmod(file().c_str(), 0640), 0);
  SaveSettings({3, true, false, true}, dir.path());
  struct stat st {};
  ASSERT_EQ(::stat(file().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640U);

  // Two links, relative and absolute, to a file kept elsewhere: both links stay, the file is new.
  test::TempDir elsewhere;
  writeFile(elsewhere.file("echt.cfg"), "alt");
  std::filesystem::create_symlink(elsewhere.file("echt.cfg"), elsewhere.file("zwischen.cfg"));
  std::filesystem::remove(file());
  std::filesystem::create_symlink(std::filesystem::relative(elsewhere.file("zwischen.cfg"), dir.path()), file());
  SaveSettings({4, false, true, false}, dir.path());
  EXPECT_TRUE(std::filesystem::is_symlink(file()));
  EXPECT_TRUE(std::filesystem::is_symlink(elsewhere.file("zwischen.cfg")));
  EXPECT_EQ(readFile(elsewhere.file("echt.cfg")), "respages:4\r\ncleartxt:0\r\npreview:1\r\ninfront:0\r\n");
  EXPECT_EQ(entriesOf(elsewhere.path()), (std::set<std::string>{"echt.cfg", "zwischen.cfg"}));
}

TEST_F(SettingsTest, ASaveRunAsRootHandsTheFileBackToItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
  writeFile(file(), "alt");
  ASSERT_EQ(::chown(file().c_str(), 4321, 4322), 0);
  SaveSettings({3, true, false, true}, dir.path());
  struct stat st {};
  ASSERT_EQ(::stat(file().c_str(), &st), 0);
  EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(4321U, 4322U));
}

}  // namespace
}  // namespace kf::store
