// Loading a saved page into the raw-line list.
#include "search/load_file.h"

#include <gtest/gtest.h>

#include "platform/os/files.h"
#include "support/peak_memory.h"
#include "support/search_data.h"
#include "support/search_window.h"
#include "support/temp_dir.h"

namespace kf::search {
namespace {

std::vector<std::string> listedLines(const ui::ListView &lstFile) {
  std::vector<std::string> lines;
  for (int row = 1; row <= lstFile.count(); ++row) {
    EXPECT_EQ(lstFile.item(row).text, std::to_string(row));
    lines.push_back(lstFile.subItemText(row, 1));
  }
  return lines;
}

struct LoadCase {
  const char *name;
  std::string bytes;
  bool cleartxt;
  std::vector<std::string> expected;
};

void PrintTo(const LoadCase &c, std::ostream *os) {
  *os << c.name;
}

class LoadPage : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadPage, ListsLinesUpToTheClosingLine) {
  test::TempDir dir;
  test::writeFile(dir.file("result.txt"), GetParam().bytes);
  test::SearchWindow frm;
  frm.settings.cleartxt = GetParam().cleartxt;
  frm.lstFile.addItem("old row");
  LoadFile(dir.file("result.txt"), frm.views());
  EXPECT_EQ(listedLines(frm.lstFile), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadPage,
    testing::Values(
        LoadCase{"ClosingLineFifth", "a\r\nb\r\nc\r\nd\r\n</html>\r\nafter\r\n", true, {"a", "b", "c", "d", "</html>"}},
        LoadCase{"ClosingLineWithBlanks", " a \r\n  </html>  \r\nafter\r\n", true, {"a", "</html>"}},
        LoadCase{"CapitalsAndPrefixDoNotClose",
                 "</HTML>\r\n</body></html>\r\nlast",
                 true,
                 {"</HTML>", "</body></html>", "last"}},
        LoadCase{"TabsGoWhenCleaning", "\t<div>\t\r\n</html>\r\n", true, {"<div>", "</html>"}},
        LoadCase{"TabsStayOtherwise", " \t<div>\t \r\n</html>\r\n", false, {"\t<div>\t", "</html>"}},
        LoadCase{"EndOfFileEndsTheList", "one\ntwo\n\nfour", true, {"one", "two", "", "four"}},
        // A line is kept to 4,000 characters, cut after cleaning so that no character is split.
        LoadCase{"LongLinesAreCut",
                 std::string(4000, 'a') + "\r\n" + std::string(4001, 'b') + "\r\n" + std::string(3999, 'c') +
                     "\xC3\x9Fx\r\n</html>\r\n",
                 true,
                 {std::string(4000, 'a'), std::string(4000, 'b'), std::string(3999, 'c') + "\xDF", "</html>"}},
        LoadCase{"EmptyFile", "", true, {}}),
    [](const testing::TestParamInfo<LoadCase> &instance) { return instance.param.name; });

TEST(LoadFile, StopsAt9999Lines) {
  test::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 10005; ++i) bytes += "line\r\n";
  test::writeFile(dir.file("big.txt"), bytes);
  test::SearchWindow frm;
  LoadFile(dir.file("big.txt"), frm.views());
  EXPECT_EQ(frm.lstFile.count(), 9999);
}

TEST(LoadFile, APageOfEmptyLinesIsReadOnlyAsFarAsItIsListed) {
  test::TempDir dir;
  test::appendRepeated(dir.file("result.txt"), "\n", 64 * test::kMiB);
  test::expectPeakGrowthBelow(16 * test::kMiB, [&] {
    test::SearchWindow frm;
    LoadFile(dir.file("result.txt"), frm.views());
    EXPECT_EQ(frm.lstFile.count(), 9999);
  });
}

TEST(LoadFile, FileThatCannotBeReadListsNothing) {
  test::SearchWindow frm;
  LoadFile(test::searchData("one_entry.html"), frm.views());
  ASSERT_EQ(frm.lstResult.count(), 1);
  for (const std::string &name : {std::string(), test::searchData("missing.html"), test::searchData("")}) {
    SCOPED_TRACE(name);
    LoadFile(name, frm.views());
    EXPECT_EQ(frm.lstFile.count(), 0);
    EXPECT_EQ(frm.lstResult.count(), 1) << "earlier results stay";
  }
}

}  // namespace
}  // namespace kf::search
