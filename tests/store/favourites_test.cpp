#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/cp1252.h"
#include "store/favourites_file.h"
#include "store/save_failure.h"
#include "store/search_history.h"
#include "support/file_size_limit.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"

namespace kf::store {
namespace {

using test::readFile;
using test::writeFile;

// A favourite as "Description|VideoId|PictureUrl|Title|Duration", the order of the file.
std::vector<std::string> rowsOf(const video::VideoList &list) {
  std::vector<std::string> rows;
  for (const video::VideoEntry &e : list.entries()) {
    rows.push_back(e.Description + "|" + e.VideoId + "|" + e.PictureUrl + "|" + e.Title + "|" + e.Duration);
  }
  return rows;
}

// The description of the failure a save throws; empty when it saved.
std::string saveFailure(const video::VideoList &favourites, const std::string &appDir) {
  try {
    SaveFavourites(favourites, appDir);
  } catch (const SaveFailed &failed) {
    return failed.description();
  }
  return {};
}

class FavouritesTest : public ::testing::Test {
 protected:
  FavouritesTest() { std::filesystem::create_directory(dir.file("dat")); }
  std::string file() const { return dir.file("dat/fav.kf"); }

  test::TempDir dir;
  video::VideoList lstFavs;
};

TEST_F(FavouritesTest, WithoutAFileTheListStaysEmptyAndTheNextSaveWritesZero) {
  LoadFavourites(lstFavs, dir.path());
  EXPECT_EQ(lstFavs.count(), 0);
  SaveFavourites(lstFavs, dir.path());
  EXPECT_EQ(readFile(file()), "0\r\n");
}

TEST_F(FavouritesTest, LoadingTakesWhatTheFileHolds) {
  struct Case {
    std::string file;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"0\r\na|b|c|d|e\r\n", {}},
      // No 16-bit limit on the count.
      {"99999999999999999999999\r\na|b|c|d|e\r\n", {"a|b|c|d|e"}},
      // Fewer lines than announced: those there are.
      {"5\r\nA|1|p1|T1|1:00\r\nB|2|p2|T2|2:00\r\nC|3|p3|T3|3:00\r\n",
       {"A|1|p1|T1|1:00", "B|2|p2|T2|2:00", "C|3|p3|T3|3:00"}},
      // More lines than announced: the count rules.
      {"1\r\nA|1|p1|T1|1:00\r\nB|2|p2|T2|2:00\r\n", {"A|1|p1|T1|1:00"}},
      // A short line gives empty fields and does not cost the lines after it; a sixth field goes.
      {"3\r\nA|1|p1\r\nB|2|p2|T2|2:00|extra\r\n||\r\n", {"A|1|p1||", "B|2|p2|T2|2:00", "||||"}},
      // Blank lines are no favourites, and do not count.
      {"\r\n  \r\n2\r\n\r\nA|1|p|T|0\r\n\t\r\n\r\nB|2|p|T|0\r\n", {"A|1|p|T|0", "B|2|p|T|0"}},
      // The same video twice stays twice; LF-only lines are read too.
      {"2\nA|x9|p|T|0:10\nA|x9|p|T|0:10\n", {"A|x9|p|T|0:10", "A|x9|p|T|0:10"}},
  };
  for (const auto &testCase : cases) {
    SCOPED_TRACE(testCase.file);
    lstFavs.clear();
    writeFile(file(), testCase.file);
    LoadFavourites(lstFavs, dir.path());
    EXPECT_EQ(rowsOf(lstFavs), testCase.rows);
  }
}

TEST_F(FavouritesTest, ADamagedFileIsMovedAsideNeverOverwrittenAndTold) {
  // An earlier damaged file lies aside already, and is not replaced.
  writeFile(file() + ".unlesbar", "erste");
  const std::string damaged[] = {"zwei\r\na|b|c|d|e\r\n", "-2\r\na|b|c|d|e\r\n", "\r\n \r\n"};
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    SCOPED_TRACE(damaged[i]);
    writeFile(file(), damaged[i]);
    const auto message = LoadFavourites(lstFavs, dir.path());
    EXPECT_EQ(lstFavs.count(), 0);
    const std::string aside = file() + ".unlesbar." + std::to_string(i + 1);
    EXPECT_EQ(readFile(aside), damaged[i]);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find(text::cp1252(u8"„") + file() + text::cp1252(u8"“")), std::string::npos);
    EXPECT_NE(message->find(text::cp1252(u8"„") + aside + text::cp1252(u8"“")), std::string::npos);

    SaveFavourites(lstFavs, dir.path());
    EXPECT_EQ(readFile(file()), "0\r\n");
  }
  EXPECT_EQ(readFile(file() + ".unlesbar"), "erste");
}

TEST_F(FavouritesTest, LinesAreCutWhereTheyEnterAndBlankLinesCostNoMemory) {
  const std::string longest(8000 - 6, 'x');
  writeFile(file(), "2\r\n" + longest + "|a|b|c\r\n" + longest + "|a|b|cd\r\n");
  LoadFavourites(lstFavs, dir.path());
  const std::string cut = longest + "|a|b|c|";
  EXPECT_EQ(rowsOf(lstFavs), (std::vector<std::string>{"" + cut, "" + cut}));

  // Two favourites with 64 MiB of blank lines around them.
  writeFile(file(), "2\r\n");
  test::appendRepeated(file(), "\r\n", 32 * test::kMiB);
  test::appendRepeated(file(), "A|1|p|T|0\r\n", 1);
  test::appendRepeated(file(), "\r\n", 32 * test::kMiB);
  test::appendRepeated(file(), "B|2|p|T|0\r\n", 1);
  lstFavs.clear();
  test::expectPeakGrowthBelow(16 * test::kMiB, [&] {
    EXPECT_FALSE(LoadFavourites(lstFavs, dir.path()));
    EXPECT_EQ(rowsOf(lstFavs), (std::vector<std::string>{"A|1|p|T|0", "B|2|p|T|0"}));
  });
}

TEST_F(FavouritesTest, FieldsComeBackExactlyAsTheyWereAndDuplicatesSurvive) {
  const std::string content = "3\r\n Ein Film  |AbC-1| http://x/p.jpg |" + text::cp1252(u8"Über Äpfel") +
                              "|3:05 \r\n||||\r\n Ein Film  |AbC-1| http://x/p.jpg |x|3:05 \r\n";
  writeFile(file(), content);
  LoadFavourites(lstFavs, dir.path());
  ASSERT_EQ(lstFavs.count(), 3);
  EXPECT_EQ(lstFavs.at(1).Description, " Ein Film  ");
  EXPECT_EQ(lstFavs.at(1).Title, text::cp1252(u8"Über Äpfel"));
  SaveFavourites(lstFavs, dir.path());
  EXPECT_EQ(readFile(file()), content);
}

TEST_F(FavouritesTest, EveryFavouriteSurvivesARestartInItsOrder) {
  for (const char *id : {"a1", "b2", "c3"}) lstFavs.append({"T", id, "P", "D", "1:00"});
  lstFavs.remove(2);
  lstFavs.append({"T", "d4", "P", "D", "1:00"});
  SaveFavourites(lstFavs, dir.path());
  video::VideoList fresh;
  LoadFavourites(fresh, dir.path());
  EXPECT_EQ(rowsOf(fresh), (std::vector<std::string>{"D|a1|P|T|1:00", "D|c3|P|T|1:00", "D|d4|P|T|1:00"}));

  // However many there are, none is dropped, and the count line tells the truth.
  lstFavs.clear();
  for (int i = 1; i <= 32768; ++i) lstFavs.append({"", "id" + std::to_string(i), "", "F", ""});
  SaveFavourites(lstFavs, dir.path());
  EXPECT_EQ(readFile(file()).substr(0, 7), "32768\r\n");
  video::VideoList many;
  LoadFavourites(many, dir.path());
  ASSERT_EQ(many.count(), 32768);
  EXPECT_EQ(many.at(32768).VideoId, "id32768");
}

TEST_F(FavouritesTest, AFailedSaveLeavesThePreviousFileWhole) {
  const std::string old = "1\r\nAlt|id1|p|t|d\r\n";
  writeFile(file(), old);
  for (int i = 1; i <= 3; ++i) lstFavs.append({"t", "id", "p", "Neu", "d"});
  std::string told;
  {
    test::FileSizeLimit limit(8);
    told = saveFailure(lstFavs, dir.path());
  }
  EXPECT_EQ(readFile(file()), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("dat")), {}), 1);

  // Without its data folder the save fails and writes nothing anywhere.
  std::filesystem::remove_all(dir.file("dat"));
  EXPECT_NE(saveFailure(lstFavs, dir.path()), "");
  EXPECT_FALSE(std::filesystem::exists(dir.file("dat")));

  // The failure names the file and the reason.
  const std::string said = text::cp1252(u8"Die Favoriten konnten nicht gespeichert werden.\n\n");
  EXPECT_EQ(told, said + text::cp1252(u8"Datei zu groß: ") + file() +
                      text::cp1252(u8"\n\nEine vorhandene Datei bleibt unverändert."));
}

// The search history is kept beside the favourites and saved like them.
using SearchHistoryTest = FavouritesTest;

TEST_F(SearchHistoryTest, NewestFirstEachOnceTwentyKeptAndClearedOnDisk) {
  const std::string path = dir.file("dat/suchen.kf");
  SearchHistory history;
  int changes = 0;
  history.onChange = [&] { ++changes; };
  EXPECT_FALSE(history.load(dir.path()));
  EXPECT_TRUE(history.entries().empty());
  std::vector<std::string> expected;
  for (int i = 1; i <= 22; ++i) {
    history.add("suche " + std::to_string(i));
    expected.insert(expected.begin(), "suche " + std::to_string(i));
  }
  expected.resize(20);
  EXPECT_EQ(history.entries(), expected) << "the oldest two went";
  // A search kept already moves to the front in its new spelling; blank words and words no line
  // can hold are not kept.
  history.add(text::cp1252(u8"  Suche 5 "));
  for (const char *unkept : {"   ", "zwei\r\nZeilen"}) history.add(unkept);
  std::erase(expected, "suche 5");
  expected.insert(expected.begin(), "Suche 5");
  EXPECT_EQ(history.entries(), expected);
  EXPECT_EQ(changes, 24);

  history.add(text::cp1252(u8"Käse"));
  history.save();
  std::string file = text::cp1252(u8"Käse") + "\r\n";
  for (std::size_t i = 0; i < 19; ++i) file += expected[i] + "\r\n";
  EXPECT_EQ(readFile(path), file);
  SearchHistory again;
  again.load(dir.path());
  EXPECT_EQ(again.entries(), history.entries());

  again.clear();
  EXPECT_TRUE(again.entries().empty());
  EXPECT_EQ(readFile(path), "") << "cleared on the disk at once";
}

TEST_F(SearchHistoryTest, ADamagedFileIsMovedAsideAndTold) {
  const std::string path = dir.file("dat/suchen.kf");
  const std::string damaged[] = {"katze\r\nmit\x01Steuerzeichen\r\n", std::string(1001, 'x') + "\r\n"};
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    writeFile(path, damaged[i]);
    SearchHistory history;
    const auto told = history.load(dir.path());
    EXPECT_TRUE(history.entries().empty());
    const std::string aside = path + ".unlesbar" + (i == 0 ? "" : "." + std::to_string(i));
    EXPECT_EQ(readFile(aside), damaged[i]);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(told);
    EXPECT_NE(told->find(text::cp1252(u8"„") + aside + text::cp1252(u8"“")), std::string::npos);
  }
}

}  // namespace
}  // namespace kf::store
