// The result page parser on crafted pages: which rows a page gives, with which fields and look.
#include <gtest/gtest.h>

#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "search/clean_text.h"
#include "search/load_file.h"
#include "search/parse_entry.h"
#include "search/result_page.h"
#include "support/peak_memory.h"
#include "support/search_data.h"
#include "support/search_window.h"
#include "support/temp_dir.h"

namespace kf::search {
namespace {

using Row = std::vector<std::string>;
const std::string kPics = "http://www.localhost:8480/pics/";

std::vector<Row> rows(const ui::ListView &list) {
  std::vector<Row> all;
  for (int row = 1; row <= list.count(); ++row) all.push_back(test::SearchWindow::row(list, row));
  return all;
}

TEST(ParseResults, OneEntryPageGivesItsFiveFieldsWithTheirLook) {
  test::SearchWindow frm;
  frm.settings.cleartxt = false;
  LoadFile(test::searchData("one_entry.html"), frm.views());
  ASSERT_EQ(rows(frm.lstResult), (std::vector<Row>{{"0", "Ein sch\xC3\xB6nes Video<br/>\tvom See", "Ab3dE_x",
                                                    kPics + "Ab3dE_x.jpg", "Sonnenuntergang", "3:25"}}));
  const auto &subs = frm.lstResult.item(1).subItems;
  EXPECT_TRUE(subs[0].bold);
  EXPECT_EQ(subs[0].foreColor, ui::kBlack);
  EXPECT_FALSE(subs[1].bold || subs[2].bold || subs[3].bold);
  EXPECT_TRUE(subs[4].bold);
  EXPECT_EQ(subs[4].foreColor, 0xFF0000u);
  EXPECT_EQ(frm.lstResult.smallIcon(1), 0);
  EXPECT_EQ(frm.tk.doEventsCount(), 1) << "one pause per marker";

  // The same page again, as a later page of the same search: a second, equal row numbered 1.
  LoadFile(test::searchData("one_entry.html"), frm.views());
  ASSERT_EQ(frm.lstResult.count(), 2);
  Row second = test::SearchWindow::row(frm.lstResult, 2);
  EXPECT_EQ(second[0], "1");
  second[0] = "0";
  EXPECT_EQ(second, test::SearchWindow::row(frm.lstResult, 1));
}

TEST(ParseResults, CleaningRepairsUmlautsDropsTabsAndSplitsWordsOnlyWhenOn) {
  test::SearchWindow frm;
  frm.settings.cleartxt = true;
  LoadFile(test::searchData("one_entry.html"), frm.views());
  ASSERT_EQ(frm.lstResult.count(), 1);
  EXPECT_EQ(frm.lstResult.subItemText(1, 1), "Ein sch\xF6nes Video vom See");

  // A break or a tab is one blank between two words, never a second one, and nothing at either end.
  EXPECT_EQ(CleanText("um sechs.<br/><br/>Ton an", frm.settings), "um sechs. Ton an");
  EXPECT_EQ(CleanText("\t<br/>a <br/>b\t\t c<br/>\t", frm.settings), "a b c");

  // Each repair works on the result of the one before: a pair split by a break tag stays split.
  EXPECT_EQ(CleanText("\xC3<br/>\xB6 \xC3\xA4 \xC3\xBC \xC3\x96", frm.settings), "\xC3 \xB6 \xE4 \xFC \xD6");

  // Every character Windows-1252 has comes back. An emoji, which it lacks, stays as its four bytes,
  // as do a lone continuation byte, a cut-off sequence, an overlong form and a lead byte followed by
  // the next sequence, which is repaired.
  const std::u8string german = u8"Grüße aus Österreich: „Äpfel“ – Übung — 5 € …";
  EXPECT_EQ(CleanText(std::string(german.begin(), german.end()), frm.settings), text::cp1252(german));
  const std::string undecodable = "\xF0\x9F\x98\x80 \x80 \xE2\x80 \xC1\xBC \xC3";
  EXPECT_EQ(CleanText(undecodable + "\xC3\xA4", frm.settings), undecodable + "\xE4");

  frm.settings.cleartxt = false;
  EXPECT_EQ(CleanText("\xC3\xB6<br/>\t", frm.settings), "\xC3\xB6<br/>\t");
}

TEST(ParseResults, FavouriteIsMarkedWhateverItsLetterCase) {
  test::SearchWindow frm;
  frm.addFavourite("somethingelse");
  frm.addFavourite("aB3De_X");
  LoadFile(test::searchData("one_entry.html"), frm.views());
  LoadFile(test::searchData("two_markers.html"), frm.views());
  ASSERT_EQ(frm.lstResult.count(), 3);
  EXPECT_EQ(frm.lstResult.smallIcon(1), frm.img.indexOf("fav"));
  EXPECT_EQ(frm.lstResult.smallIcon(1), 1);
  EXPECT_EQ(frm.lstResult.smallIcon(2), 0);
}

struct PageCase {
  const char *file;
  int markers;  // the window handles its events once per marker, whether or not it gave a row
  std::vector<Row> expected;
};

void PrintTo(const PageCase &c, std::ostream *os) {
  *os << c.file;
}

class ParsePage : public testing::TestWithParam<PageCase> {};

TEST_P(ParsePage, GivesExactlyTheseRows) {
  test::SearchWindow frm;
  frm.settings.cleartxt = false;
  LoadFile(test::searchData(GetParam().file), frm.views());
  EXPECT_EQ(rows(frm.lstResult), GetParam().expected);
  EXPECT_EQ(frm.tk.doEventsCount(), GetParam().markers);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ParsePage,
    testing::Values(
        // Every marker on a line gives a row, all cut from the line's first marker.
        PageCase{"two_markers.html",
                 2,
                 {{"0", "Zwei Verweise in einer Zeile", "Tw0Mk_1", kPics + "Tw0Mk_1.jpg", "Zweimal", "0:42"},
                  {"1", "Zwei Verweise in einer Zeile", "Tw0Mk_1", kPics + "Tw0Mk_1.jpg", "Zweimal", "0:42"}}},
        // Without a single-quoted title the id stands in for it.
        PageCase{"no_title.html", 1, {{"0", "Ohne Titel", "N0T1tle", kPics + "N0T1tle.jpg", "N0T1tle", "0:05"}}},
        // A "|" in the title shifts the fields after it; the play time is lost.
        PageCase{"pipe_in_title.html", 1, {{"0", kPics + "P1peId0.jpg", "Hund", "P1peId0", "Katze", "Mit Strich"}}},
        // The first row holding "desc" + id wins, also when the id is only the start of a longer one.
        PageCase{"substring_id.html",
                 2,
                 {{"0", "Die erste Beschreibung", "ABC123", kPics + "ABC123.jpg", "Lang", "5:55"},
                  {"1", "Die erste Beschreibung", "abc12", kPics + "abc12.jpg", "Kurz", "5:55"}}},
        // The last row is never examined.
        PageCase{"last_row.html", 0, {}},
        // No marker row, or one without a play-time row three rows above it: no entry.
        PageCase{"early_marker.html", 3, {{"0", "Gut", "Fine001", kPics + "Fine001.jpg", "Normal", "2:00"}}},
        // A marker in the last row has no description row after it.
        PageCase{"marker_last.html", 1, {}}),
    [](const testing::TestParamInfo<PageCase> &instance) {
      std::string name = instance.param.file;
      return name.substr(0, name.find('.'));
    });

// The id's closing quote must stand before position L - p, the title's closing quote before
// L - p' - 1 (L the line's length, p and p' the first positions of id and title). Lines of the
// shape below have p = 19, an id closing quote at 26 and a title from 31 closed at 32.
TEST(ParseResults, QuoteBoundsDependOnTheLineLength) {
  const std::string idOnly = R"(<a href="/watch?v=BoUnd01" a="" b="pic.jpg")";
  const std::string titled = R"(<a href="/watch?v=BoUnd01" t='T' a="" b="pic.jpg")";
  struct Case {
    std::string line;
    std::size_t length;
    const char *title;  // nullptr: no row
  };
  const Case cases[] = {{idOnly, 45, nullptr}, {idOnly, 46, "BoUnd01"}, {titled, 64, nullptr}, {titled, 65, "T"}};
  for (const Case &testCase : cases) {
    SCOPED_TRACE(testCase.length);
    test::TempDir dir;
    const std::string line = testCase.line + std::string(testCase.length - testCase.line.size(), 'x');
    files::saveLinesAtomically(dir.file("page.txt"),
                               {"<span>1:00</span>", "", "", "descBoUnd01", "Text", line, "</html>"});
    test::SearchWindow frm;
    LoadFile(dir.file("page.txt"), frm.views());
    if (!testCase.title) {
      EXPECT_EQ(frm.lstResult.count(), 0);
    } else {
      ASSERT_EQ(frm.lstResult.count(), 1);
      EXPECT_EQ(frm.lstResult.subItemText(1, 4), testCase.title);
      EXPECT_EQ(frm.lstResult.subItemText(1, 3), "pic.jpg");
    }
  }
}

// A page of entries, each in six rows: play time, two empty rows, the description marker, the
// description, the entry line with `markers` markers, padded to keep its quotes within their bounds.
struct Entry {
  std::string id, title, picture, description, duration;
  int markers = 1;
};

std::string writePage(const test::TempDir &dir, const std::vector<Entry> &entries) {
  std::vector<std::string> lines;
  for (const Entry &entry : entries) {
    std::string line = "<a href=\"/watch?v=" + entry.id + "\" t='" + entry.title + "' a=\"\" b=\"" + entry.picture +
                       "\" c=\"" + std::string(entry.id.size() + entry.title.size() + 100, 'x') + "\">";
    for (int i = 1; i < entry.markers; ++i) line += "/watch?v=";
    lines.insert(lines.end(),
                 {"<span>" + entry.duration + "</span>", "", "", "desc" + entry.id, entry.description, line});
  }
  lines.emplace_back("</html>");
  files::saveLinesAtomically(dir.file("page.txt"), lines);
  return dir.file("page.txt");
}

TEST(ParseResults, FieldsAreCutAtTheirBoundAndALongerIdGivesNoRow) {
  const std::string at(1000, 'a'), past = std::string(1000, 'b') + "B", cut(1000, 'b');
  test::TempDir dir;
  test::SearchWindow frm;
  LoadFile(writePage(dir, {{std::string(64, 'i'), at, at, at, at},
                           {std::string(63, 'j'), past, past, past, past},
                           {std::string(65, 'k'), "T", "p.jpg", "Text", "1:00"}}),
           frm.views());
  EXPECT_EQ(rows(frm.lstResult), (std::vector<Row>{{"0", at, std::string(64, 'i'), at, at, at},
                                                   {"1", cut, std::string(63, 'j'), cut, cut, cut}}));
}

TEST(ParseResults, RowsAreBoundedPerPageAndInTheList) {
  // 1,001 markers of one entry: ten lines of 100 and one of 1.
  std::vector<Entry> entries(10, {"Bnd0001", "T", "p.jpg", "Text", "1:00", 100});
  entries.push_back({"Bnd0001", "T", "p.jpg", "Text", "1:00"});
  test::TempDir dir;
  const std::string page = writePage(dir, entries);
  test::SearchWindow frm;
  LoadFile(page, frm.views());
  EXPECT_EQ(frm.lstResult.count(), 1000);
  EXPECT_EQ(frm.tk.doEventsCount(), 1000) << "the markers past the bound are ignored, pauses too";

  // A list of 19,500 rows takes 500 more up to its bound of 20,000, and then none.
  test::SearchWindow full;
  for (int i = 0; i < 19500; ++i) full.results.append({"T", "earlier", "p", "D", "1:00"});
  LoadFile(page, full.views());
  ASSERT_EQ(full.lstResult.count(), 20000);
  EXPECT_EQ(full.lstResult.item(20000).text, "19999");
  LoadFile(page, full.views());
  EXPECT_EQ(full.lstResult.count(), 20000);
}

TEST(ResultPage, FindsTheFirstMarkerRowForIdsOfEveryLength) {
  const ResultPage page({"intro", "descAB", "descabc9", "descabc1 DESCabc2", "x descabc1",
                         "desc" + std::string(64, 'z'), "xDe", "Scspan"});
  // Row 3 comes first although "abc9" sorts after "abc1" and "abc2". A marker does not run on into
  // the next row.
  const std::pair<std::string, int> cases[] = {
      {"abc", 3}, {"ABC", 3}, {"abc1", 4}, {"ab", 2}, {"abc12", 0}, {std::string(64, 'z'), 6}, {"span", 0}};
  for (const auto &[id, row] : cases) EXPECT_EQ(page.descriptionMarkerRow(id), row) << id;
}

// Ids of 57 lengths on a page of 200,000 markers: one index serves them all.
TEST(ResultPage, IndexOfIdsOfManyLengthsStaysThePagesSize) {
  std::vector<std::string> lines(500);
  for (std::size_t marker = 0; marker < 200'000; ++marker)
    lines[marker % 500] += "desc" + std::to_string(marker * 2654435761U);
  test::expectPeakGrowthBelow(64 * test::kMiB, [&] {
    const ResultPage page(lines);
    for (std::size_t length = 1; length <= 57; ++length) page.descriptionMarkerRow(std::string(length, '0'));
  });
}

TEST(ParseEntry, TrimsTheLineAndCutsTheFields) {
  test::SearchWindow frm;
  LoadFile(test::searchData("one_entry.html"), frm.views());
  const ResultPage page(frm.pageLines.lines());
  std::string line = "  " + std::string(page.row(14)) + "  ";
  EXPECT_EQ(ParseEntry(line, page), (video::VideoEntry{"Sonnenuntergang", "Ab3dE_x", kPics + "Ab3dE_x.jpg",
                                                       "Ein sch\xF6nes Video vom See", "3:25"}));
  EXPECT_EQ(line, page.row(14));
  std::string plain = "no marker here";
  EXPECT_EQ(ParseEntry(plain, page), std::nullopt);
}

}  // namespace
}  // namespace kf::search
