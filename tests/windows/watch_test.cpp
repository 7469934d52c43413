#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/base/cp1252.h"
#include "platform/ui/headless_toolkit.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "windows/build_watch_page.h"

namespace kf::store {
namespace {

using windows::BuildWatchPage;
using windows::FrmVid;

using test::readFile;
using test::writeFile;

class WatchTest : public ::testing::Test {
 protected:
  WatchTest() {
    ui::setToolkit(tk);
    std::filesystem::create_directory(dir.file("dat"));
  }
  std::string page(const std::string &id) const { return dir.file("dat/" + id + ".html"); }
  std::string address(const std::string &id) const { return "file://" + page(id); }
  FrmVid &frm() const { return *buildWatchPage.frmVid(); }

  ui::HeadlessToolkit tk;
  test::TempDir dir;
  Settings settings;
  BuildWatchPage buildWatchPage{tk, dir.path(), net::builtInSiteAddress(), settings};
};

TEST_F(WatchTest, ThePageIsTheTemplatesFirstLineWithTheIdForEveryPercentSign) {
  struct Case {
    std::string templ;
    std::string pageA;
    std::string pageB;
  };
  const Case cases[] = {
      {"<a href=\"/w/%\">%</a>\r\n", "<a href=\"/w/Ab-1\">Ab-1</a>\r\n", "<a href=\"/w/x_Y\">x_Y</a>\r\n"},
      {"erste %\r\nzweite %\r\n", "erste Ab-1\r\n", "erste x_Y\r\n"},
      {"ohne Platzhalter", "ohne Platzhalter\r\n", "ohne Platzhalter\r\n"},
      {"%%", "Ab-1Ab-1\r\n", "x_Yx_Y\r\n"},
  };
  for (const auto &testCase : cases) {
    SCOPED_TRACE(testCase.templ);
    writeFile(dir.file("vid.kf"), testCase.templ);
    buildWatchPage("Ab-1", "A");
    buildWatchPage("x_Y", "B");
    EXPECT_EQ(readFile(page("Ab-1")), testCase.pageA);
    EXPECT_EQ(readFile(page("x_Y")), testCase.pageB);
  }
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(WatchTest, OneWindowShowsTheLatestVideoAndEveryPageStays) {
  writeFile(dir.file("vid.kf"), "<p>%</p>");
  buildWatchPage("vidA", text::cp1252(u8"Erster Film – äöü"));
  FrmVid *first = buildWatchPage.frmVid();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->window.isOpen());
  EXPECT_EQ(first->window.caption(), text::cp1252(u8"Erster Film – äöü"));
  EXPECT_EQ(first->brw.location(), address("vidA"));
  EXPECT_EQ(first->window.focused(), &first->brw) << "the keyboard is on the video";

  first->window.focusMovedTo(nullptr);
  buildWatchPage("vidB", "Zweiter Film");
  EXPECT_EQ(first->window.focused(), &first->brw);
  EXPECT_EQ(buildWatchPage.frmVid(), first);
  EXPECT_EQ(frm().window.caption(), "Zweiter Film");
  EXPECT_EQ(frm().brw.location(), address("vidB"));
  EXPECT_EQ(readFile(page("vidA")), "<p>vidA</p>\r\n");
  EXPECT_EQ(readFile(page("vidB")), "<p>vidB</p>\r\n");

  // The same video again rewrites its page.
  writeFile(dir.file("vid.kf"), "<b>%</b>");
  buildWatchPage("vidA", "Wieder");
  EXPECT_EQ(readFile(page("vidA")), "<b>vidA</b>\r\n");
  EXPECT_EQ(frm().brw.location(), address("vidA"));
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(WatchTest, TheBrowserFillsTheWindowExactly) {
  writeFile(dir.file("vid.kf"), "%");
  buildWatchPage("v1", "Film");
  const ui::Browser &brw = frm().brw;
  const auto place = [&] { return std::vector<float>{brw.left(), brw.top(), brw.width(), brw.height()}; };
  EXPECT_EQ(place(), (std::vector<float>{0, 0, 6960, 6105}));
  frm().window.resized(6930.5F, 6075);  // the window system's own idea of the client area
  EXPECT_EQ(place(), (std::vector<float>{0, 0, 6930.5F, 6075}));
}

TEST_F(WatchTest, TheFrontSettingCountsOnlyWhenTheWindowIsMade) {
  writeFile(dir.file("vid.kf"), "%");
  settings.infront = true;
  buildWatchPage("v1", "Film");
  EXPECT_TRUE(frm().window.topmost());
  settings.infront = false;
  buildWatchPage("v2", "Film");
  EXPECT_TRUE(frm().window.topmost());

  // The user's close box ends the page with the window; the next watch shows its own.
  frm().window.close();
  EXPECT_EQ(frm().brw.location(), "about:blank");
  buildWatchPage("v3", "Film");
  EXPECT_TRUE(frm().window.isOpen());
  EXPECT_FALSE(frm().window.topmost());
  EXPECT_EQ(frm().brw.location(), address("v3"));
  settings.infront = true;
  buildWatchPage("v4", "Film");
  EXPECT_FALSE(frm().window.topmost());

  // Esc is the close box.
  frm().window.escape();
  EXPECT_FALSE(frm().window.isOpen());
  EXPECT_EQ(frm().brw.location(), "about:blank");
  buildWatchPage("v5", "Film");
  EXPECT_TRUE(frm().window.topmost());
}

TEST_F(WatchTest, AnIdThatCannotNameAFileWritesNothingAndSaysSo) {
  writeFile(dir.file("vid.kf"), "%");
  const std::string bad[] = {"",
                             "../vid",
                             "a/b",
                             "a b",
                             "a%b",
                             "a.b",
                             "a\\b",
                             "<x>",
                             std::string(65, 'a'),
                             text::cp1252(u8"Käse"),
                             std::string("a\0b", 3)};
  for (const auto &id : bad) {
    SCOPED_TRACE(id);
    buildWatchPage(id, "Film");
  }
  EXPECT_EQ(tk.boxes.shown().size(), std::size(bad));
  for (const auto &message : tk.boxes.shown()) {
    EXPECT_EQ(message.title, "Klipfang");
    EXPECT_EQ(message.text, text::cp1252(u8"Dieses Video kann nicht angezeigt werden: seine Kennung ist ungültig."));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.file("dat")));
  EXPECT_EQ(buildWatchPage.frmVid(), nullptr);

  buildWatchPage(std::string(64, 'a'), "Film");
  EXPECT_TRUE(std::filesystem::exists(page(std::string(64, 'a'))));
}

TEST_F(WatchTest, ATemplateOrPageThatFailsIsToldAndTheWindowKeepsWhatItShowed) {
  writeFile(dir.file("vid.kf"), "%");
  buildWatchPage("shown", "Gezeigt");
  // A page rewritten on a full disk stays the old page, whole, with nothing left beside it.
  writeFile(dir.file("vid.kf"), "<p>%</p>");
  {
    test::FileSizeLimit full(8);
    buildWatchPage("shown", "Gezeigt");
  }
  EXPECT_EQ(readFile(page("shown")), "shown\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("dat")), {}), 1);
  EXPECT_EQ(tk.boxes.shown().size(), 1U);
  struct Case {
    const char *what;
    std::function<void()> arrange;
    std::string message;
  };
  const Case cases[] = {
      {"missing", [&] { std::filesystem::remove(dir.file("vid.kf")); },
       text::cp1252(u8"Die Vorlage der Videoseite fehlt: ") + dir.file("vid.kf")},
      {"empty", [&] { writeFile(dir.file("vid.kf"), ""); },
       text::cp1252(u8"Die Vorlage der Videoseite ist leer: ") + dir.file("vid.kf")},
      {"empty first line", [&] { writeFile(dir.file("vid.kf"), "\r\n<p>%</p>\r\n"); },
       text::cp1252(u8"Die Vorlage der Videoseite ist leer: ") + dir.file("vid.kf")},
      // A few kilobytes are read at most; a template line that does not end within them is damage.
      {"too long", [&] { writeFile(dir.file("vid.kf"), std::string(8192, '%')); },
       text::cp1252(u8"Die Vorlage der Videoseite ist zu lang: ") + dir.file("vid.kf")},
      {"page in the way",
       [&] {
         writeFile(dir.file("vid.kf"), "%");
         std::filesystem::create_directory(page("next"));
       },
       text::cp1252(u8"Die Videoseite kann nicht geschrieben werden: ")},
      {"no data folder", [&] { std::filesystem::remove_all(dir.file("dat")); },
       text::cp1252(u8"Die Videoseite kann nicht geschrieben werden: ")},
  };
  for (const auto &testCase : cases) {
    SCOPED_TRACE(testCase.what);
    testCase.arrange();
    const std::size_t before = tk.boxes.shown().size();
    buildWatchPage("next", "Nicht gezeigt");
    ASSERT_EQ(tk.boxes.shown().size(), before + 1);
    EXPECT_EQ(tk.boxes.shown().back().title, "Klipfang");
    EXPECT_EQ(tk.boxes.shown().back().text.substr(0, testCase.message.size()), testCase.message);
    EXPECT_FALSE(std::filesystem::is_regular_file(page("next")));
    EXPECT_EQ(frm().window.caption(), "Gezeigt");
    EXPECT_EQ(frm().brw.location(), address("shown"));
  }
}

TEST_F(WatchTest, AFolderInTheTemplatesPlaceCannotBeRead) {
  std::filesystem::create_directory(dir.file("vid.kf"));
  buildWatchPage("v1", "Film");
  ASSERT_EQ(tk.boxes.shown().size(), 1U);
  EXPECT_EQ(tk.boxes.shown()[0].text.rfind(text::cp1252(u8"Die Vorlage der Videoseite kann nicht gelesen werden: "), 0),
            0U);
  EXPECT_EQ(buildWatchPage.frmVid(), nullptr);
}

TEST(DeliveredTemplate, IsOneLineThatEmbedsThePlayerWithNoOtherPercentSign) {
  const std::string bytes = readFile(KF_DELIVERED_VID_KF);
  ASSERT_GE(bytes.size(), 2U);
  EXPECT_EQ(bytes.find("\r\n"), bytes.size() - 2);
  EXPECT_EQ(bytes.find('\n'), bytes.size() - 1);
  const std::string embed = std::string(KF_SITE_ROOT) + "/embed/%";
  EXPECT_NE(bytes.find(embed), std::string::npos);
  std::size_t percents = 0;
  for (char character : bytes) percents += character == '%';
  std::size_t embeds = 0;
  for (auto at = bytes.find(embed); at != std::string::npos; at = bytes.find(embed, at + 1)) ++embeds;
  EXPECT_EQ(percents, embeds);
}

TEST_F(WatchTest, TheDeliveredTemplateFramesTheSiteTheProgramRunsAgainst) {
  writeFile(dir.file("vid.kf"), readFile(KF_DELIVERED_VID_KF));
  const std::string own = "http://127.0.0.1:21000";
  BuildWatchPage elsewhere{tk, dir.path(), {own, own}, settings};
  elsewhere("Ab-1", "A");
  const std::string written = readFile(page("Ab-1"));
  EXPECT_NE(written.find(own + "/embed/Ab-1\""), std::string::npos) << written;
  EXPECT_EQ(written.find(KF_SITE_ROOT), std::string::npos);
}

}  // namespace
}  // namespace kf::store
