#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/ui/headless_toolkit.h"
#include "store/favourites_file.h"
#include "store/search_history.h"
#include "support/file_size_limit.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"
#include "video/video_rows.h"

namespace kf::store {
namespace {

using test::readFile;
using test::writeFile;

// A row as "number:field|field|field|field|field".
std::vector<std::string> rowsOf(const ui::ListView &list) {
  std::vector<std::string> rows;
  for (int row = 1; row <= list.count(); ++row) {
    std::string line = list.item(row).text + ":";
    const auto &subItems = list.item(row).subItems;
    for (std::size_t i = 0; i < subItems.size(); ++i) line += (i ? "|" : "") + subItems[i].text;
    rows.push_back(line);
  }
  return rows;
}

class FavouritesTest : public ::testing::Test {
 protected:
  FavouritesTest() {
    ui::setToolkit(tk);
    std::filesystem::create_directory(dir.file("dat"));
  }
  std::string file() const { return dir.file("dat/fav.kf"); }

  ui::HeadlessToolkit tk;
  test::TempDir dir;
  ui::ListView lstFavs{"lstFavs", nullptr, {}, 27};
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
      {"99999999999999999999999\r\na|b|c|d|e\r\n", {"1:a|b|c|d|e"}},
      // Fewer lines than announced: those there are.
      {"5\r\nA|1|p1|T1|1:00\r\nB|2|p2|T2|2:00\r\nC|3|p3|T3|3:00\r\n",
       {"1:A|1|p1|T1|1:00", "2:B|2|p2|T2|2:00", "3:C|3|p3|T3|3:00"}},
      // More lines than announced: the count rules.
      {"1\r\nA|1|p1|T1|1:00\r\nB|2|p2|T2|2:00\r\n", {"1:A|1|p1|T1|1:00"}},
      // A short line gives empty fields and does not cost the lines after it; a sixth field goes.
      {"3\r\nA|1|p1\r\nB|2|p2|T2|2:00|extra\r\n||\r\n", {"1:A|1|p1||", "2:B|2|p2|T2|2:00", "3:||||"}},
      // Blank lines are no favourites, and do not count.
      {"\r\n  \r\n2\r\n\r\nA|1|p|T|0\r\n\t\r\n\r\nB|2|p|T|0\r\n", {"1:A|1|p|T|0", "2:B|2|p|T|0"}},
      // The same video twice stays twice; LF-only lines are read too.
      {"2\nA|x9|p|T|0:10\nA|x9|p|T|0:10\n", {"1:A|x9|p|T|0:10", "2:A|x9|p|T|0:10"}},
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
    LoadFavourites(lstFavs, dir.path());
    EXPECT_EQ(lstFavs.count(), 0);
    const std::string aside = file() + ".unlesbar." + std::to_string(i + 1);
    EXPECT_EQ(readFile(aside), damaged[i]);
    ASSERT_EQ(tk.boxes.shown().size(), i + 1);
    const auto &message = tk.boxes.shown().back();
    EXPECT_NE(message.text.find(text::cp1252(u8"„") + file() + text::cp1252(u8"“")), std::string::npos);
    EXPECT_NE(message.text.find(text::cp1252(u8"„") + aside + text::cp1252(u8"“")), std::string::npos);
    EXPECT_EQ(message.title, "Klipfang");

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
  EXPECT_EQ(rowsOf(lstFavs), (std::vector<std::string>{"1:" + cut, "2:" + cut}));

  // Two favourites with 64 MiB of blank lines around them.
  writeFile(file(), "2\r\n");
  test::appendRepeated(file(), "\r\n", 32 * test::kMiB);
  test::appendRepeated(file(), "A|1|p|T|0\r\n", 1);
  test::appendRepeated(file(), "\r\n", 32 * test::kMiB);
  test::appendRepeated(file(), "B|2|p|T|0\r\n", 1);
  lstFavs.clear();
  test::expectPeakGrowthBelow(16 * test::kMiB, [&] {
    LoadFavourites(lstFavs, dir.path());
    EXPECT_EQ(rowsOf(lstFavs), (std::vector<std::string>{"1:A|1|p|T|0", "2:B|2|p|T|0"}));
    EXPECT_TRUE(tk.boxes.shown().empty());
  });
}

TEST_F(FavouritesTest, FieldsComeBackExactlyAsTheyWereAndDuplicatesSurvive) {
  const std::string content = "3\r\n Ein Film  |AbC-1| http://x/p.jpg |" + text::cp1252(u8"Über Äpfel") +
                              "|3:05 \r\n||||\r\n Ein Film  |AbC-1| http://x/p.jpg |x|3:05 \r\n";
  writeFile(file(), content);
  LoadFavourites(lstFavs, dir.path());
  ASSERT_EQ(lstFavs.count(), 3);
  EXPECT_EQ(lstFavs.subItemText(1, 1), " Ein Film  ");
  EXPECT_EQ(lstFavs.subItemText(1, 4), text::cp1252(u8"Über Äpfel"));
  SaveFavourites(lstFavs, dir.path());
  EXPECT_EQ(readFile(file()), content);
}

TEST_F(FavouritesTest, RowsSurviveARestartRenumberedInTheirOrder) {
  for (const char *id : {"a1", "b2", "c3"})
    video::appendVideoRow(lstFavs, std::to_string(lstFavs.count() + 1), {"T", id, "P", "D", "1:00"});
  lstFavs.removeItem(2);
  video::appendVideoRow(lstFavs, std::to_string(lstFavs.count() + 1), {"T", "d4", "P", "D", "1:00"});
  EXPECT_EQ(rowsOf(lstFavs), (std::vector<std::string>{"1:D|a1|P|T|1:00", "3:D|c3|P|T|1:00", "3:D|d4|P|T|1:00"}));

  SaveFavourites(lstFavs, dir.path());
  ui::ListView fresh{"lstFavs", nullptr, {}, 27};
  LoadFavourites(fresh, dir.path());
  EXPECT_EQ(rowsOf(fresh), (std::vector<std::string>{"1:D|a1|P|T|1:00", "2:D|c3|P|T|1:00", "3:D|d4|P|T|1:00"}));
}

TEST_F(FavouritesTest, TheCountLineNeverAnnouncesMoreThanFollows) {
  // A row short of sub-items is written whole, with its missing fields empty.
  const int row = lstFavs.addItem("1");
  lstFavs.addSubItem(row, "Nur Film");
  lstFavs.addSubItem(row, "id7");
  video::appendVideoRow(lstFavs, "2", {"T", "id8", "P", "F", "D"});
  SaveFavourites(lstFavs, dir.path());
  EXPECT_EQ(readFile(file()), "2\r\nNur Film|id7|||\r\nF|id8|P|T|D\r\n");

  // However many there are, none is dropped.
  lstFavs.clear();
  for (int i = 1; i <= 32768; ++i)
    video::appendVideoRow(lstFavs, std::to_string(i), {"", "id" + std::to_string(i), "", "F", ""});
  SaveFavourites(lstFavs, dir.path());
  ui::ListView fresh{"lstFavs", nullptr, {}, 27};
  LoadFavourites(fresh, dir.path());
  ASSERT_EQ(fresh.count(), 32768);
  EXPECT_EQ(fresh.subItemText(32768, 2), "id32768");
}

TEST_F(FavouritesTest, AFailedSaveLeavesThePreviousFileWhole) {
  const std::string old = "1\r\nAlt|id1|p|t|d\r\n";
  writeFile(file(), old);
  for (int i = 1; i <= 3; ++i) video::appendVideoRow(lstFavs, std::to_string(i), {"t", "id", "p", "Neu", "d"});
  {
    test::FileSizeLimit limit(8);
    SaveFavourites(lstFavs, dir.path());
  }
  EXPECT_EQ(readFile(file()), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("dat")), {}), 1);

  // Without its data folder the save fails and writes nothing anywhere.
  std::filesystem::remove_all(dir.file("dat"));
  SaveFavourites(lstFavs, dir.path());
  EXPECT_FALSE(std::filesystem::exists(dir.file("dat")));

  // Each failure is told, naming the file and the reason.
  ASSERT_EQ(tk.boxes.shown().size(), 2U);
  const std::string said = text::cp1252(u8"Die Favoriten konnten nicht gespeichert werden.\n\n");
  EXPECT_EQ(tk.boxes.shown()[0].text, said + text::cp1252(u8"Datei zu groß: ") + file() +
                                          text::cp1252(u8"\n\nEine vorhandene Datei bleibt unverändert."));
  EXPECT_EQ(tk.boxes.shown()[1].icon, ui::MessageIcon::Critical);
}

// The search history is kept beside the favourites and saved like them.
using SearchHistoryTest = FavouritesTest;

TEST_F(SearchHistoryTest, NewestFirstEachOnceTwentyKeptAndClearedOnDisk) {
  const std::string path = dir.file("dat/suchen.kf");
  SearchHistory history;
  int changes = 0;
  history.onChange = [&] { ++changes; };
  history.load(dir.path());
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
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(SearchHistoryTest, ADamagedFileIsMovedAsideAndTold) {
  const std::string path = dir.file("dat/suchen.kf");
  const std::string damaged[] = {"katze\r\nmit\x01Steuerzeichen\r\n", std::string(1001, 'x') + "\r\n"};
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    writeFile(path, damaged[i]);
    SearchHistory history;
    history.load(dir.path());
    EXPECT_TRUE(history.entries().empty());
    const std::string aside = path + ".unlesbar" + (i == 0 ? "" : "." + std::to_string(i));
    EXPECT_EQ(readFile(aside), damaged[i]);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_EQ(tk.boxes.shown().size(), i + 1);
    EXPECT_NE(tk.boxes.shown().back().text.find(text::cp1252(u8"„") + aside + text::cp1252(u8"“")), std::string::npos);
  }
}

}  // namespace
}  // namespace kf::store
