#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/text/cp1252.h"
#include "store/favourite_row.h"
#include "store/favourites_file.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

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
  FavouritesTest() { std::filesystem::create_directory(dir.file("dat")); }
  std::string file() const { return dir.file("dat/fav.kf"); }

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
      {"-2\r\na|b|c|d|e\r\n", {}},
      {"zwei\r\na|b|c|d|e\r\n", {}},
      {"40000\r\na|b|c|d|e\r\n", {}},
      {"", {}},
      // Fewer lines than announced: those there are.
      {"5\r\nA|1|p1|T1|1:00\r\nB|2|p2|T2|2:00\r\nC|3|p3|T3|3:00\r\n",
       {"1:A|1|p1|T1|1:00", "2:B|2|p2|T2|2:00", "3:C|3|p3|T3|3:00"}},
      // More lines than announced: the count rules.
      {"1\r\nA|1|p1|T1|1:00\r\nB|2|p2|T2|2:00\r\n", {"1:A|1|p1|T1|1:00"}},
      // A short line gives empty fields and does not cost the lines after it; a sixth field goes.
      {"3\r\nA|1|p1\r\nB|2|p2|T2|2:00|extra\r\n\r\n", {"1:A|1|p1||", "2:B|2|p2|T2|2:00", "3:||||"}},
      // The same video twice stays twice; LF-only lines are read too.
      {"2\nA|x9|p|T|0:10\nA|x9|p|T|0:10\n", {"1:A|x9|p|T|0:10", "2:A|x9|p|T|0:10"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.file);
    lstFavs.clear();
    writeFile(file(), c.file);
    LoadFavourites(lstFavs, dir.path());
    EXPECT_EQ(rowsOf(lstFavs), c.rows);
  }
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
    appendFavourite(lstFavs, std::to_string(lstFavs.count() + 1), {"D", id, "P", "T", "1:00"});
  lstFavs.removeItem(2);
  appendFavourite(lstFavs, std::to_string(lstFavs.count() + 1), {"D", "d4", "P", "T", "1:00"});
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
  appendFavourite(lstFavs, "2", {"F", "id8", "P", "T", "D"});
  SaveFavourites(lstFavs, dir.path());
  EXPECT_EQ(readFile(file()), "2\r\nNur Film|id7|||\r\nF|id8|P|T|D\r\n");

  // Beyond what a count line can announce, the first 32767 are kept and the file still loads.
  lstFavs.clear();
  for (int i = 1; i <= 32768; ++i)
    appendFavourite(lstFavs, std::to_string(i), {"F", "id" + std::to_string(i), "", "", ""});
  SaveFavourites(lstFavs, dir.path());
  ui::ListView fresh{"lstFavs", nullptr, {}, 27};
  LoadFavourites(fresh, dir.path());
  ASSERT_EQ(fresh.count(), 32767);
  EXPECT_EQ(fresh.subItemText(32767, 2), "id32767");
}

TEST_F(FavouritesTest, AFailedSaveLeavesThePreviousFileWhole) {
  const std::string old = "1\r\nAlt|id1|p|t|d\r\n";
  writeFile(file(), old);
  for (int i = 1; i <= 3; ++i) appendFavourite(lstFavs, std::to_string(i), {"Neu", "id", "p", "t", "d"});
  {
    test::FileSizeLimit limit(8);
    SaveFavourites(lstFavs, dir.path());
  }
  EXPECT_EQ(readFile(file()), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("dat")), {}), 1);

  // Without its data folder the save fails quietly and writes nothing anywhere.
  std::filesystem::remove_all(dir.file("dat"));
  SaveFavourites(lstFavs, dir.path());
  EXPECT_FALSE(std::filesystem::exists(dir.file("dat")));
}

}  // namespace
}  // namespace kf::store
