// The search against the bundled site on a free port: the requests it sends, the pages it saves,
// the rows it lists, and how it ends on the last page, an empty or failed page, or the abort; and
// the commands that switch between the result list and the page's raw lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "net/site_address.h"
#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "search/clean_text.h"
#include "search/load_file.h"
#include "search/page_address.h"
#include "site/faults/faulty_server.h"
#include "support/file_size_limit.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/search_data.h"
#include "support/search_window.h"
#include "support/temp_dir.h"
#include "windows/search_commands.h"

namespace kf::search {
namespace {

using windows::SearchCommands;

struct SiteSearch : testing::Test {
  SiteSearch() : port(site.start()), commands(frm.controls(), frm.settings, test::localSiteAddress(port), dir.path()) {}

  std::vector<std::string> targets(const std::string &method = "GET") const {
    std::vector<std::string> out;
    for (const auto &entry : site.requests()) {
      if (entry.method == method) out.push_back(entry.target);
    }
    return out;
  }
  static std::string page(const std::string &words, int number) {
    return "/results?search_type=search_videos&search_query=" + words +
           "&search_sort=&search_category=0&page=" + std::to_string(number);
  }
  static std::string first(const std::string &words) { return "/results?search_query=" + words + "&search=Search"; }
  std::size_t found(const std::string &word) const { return site.site().catalogue().search({word}).size(); }
  void expectIdle() const {
    EXPECT_TRUE(frm.cmdSearch.visible());
    EXPECT_FALSE(frm.cmdAbortS.visible());
    EXPECT_EQ(frm.prgDL.value(), frm.prgDL.max());
  }

  test::TempDir dir;
  site::FaultyServer site;
  int port;
  test::SearchWindow frm;
  SearchCommands commands;
};

TEST_F(SiteSearch, FetchesSavesAndListsTheConfiguredPages) {
  const auto &videos = site.site().catalogue().search({"klipfang"});
  for (const int pages : {1, 3}) {
    SCOPED_TRACE(pages);
    frm.labSel.setCaption("Titel der letzten Suche");
    frm.imgPrev.setAsset("letzte.jpg");
    site.clearRequests();
    frm.settings.respages = static_cast<std::int16_t>(pages);
    frm.txtSearch.setText("klipfang");
    frm.cmdSearch.click();

    std::vector<std::string> expected{first("klipfang")};
    for (int number = 2; number <= pages; ++number) expected.push_back(page("klipfang", number));
    EXPECT_EQ(targets("HEAD"), expected);
    EXPECT_EQ(targets("GET"), expected);
    for (const auto &entry : site.requests()) {
      EXPECT_EQ(entry.userAgent, "Download");
      EXPECT_EQ(entry.host, "www.localhost:" + std::to_string(port));
    }

    ASSERT_EQ(frm.lstResult.count(), 20 * pages);
    for (int row = 1; row <= frm.lstResult.count(); ++row) {
      const site::Video &video = *videos[static_cast<std::size_t>(row - 1)];
      EXPECT_EQ(frm.lstResult.item(row).text, std::to_string(row - 1));
      EXPECT_EQ(frm.lstResult.subItemText(row, 2), video.id);
      EXPECT_EQ(frm.lstResult.subItemText(row, 4), CleanText(video.title, frm.settings))
          << "lines are cleaned as listed";
      EXPECT_EQ(frm.lstResult.subItemText(row, 5), video.duration);
    }
    EXPECT_EQ(frm.prgDL.max(), pages + 1);
    expectIdle();
    const auto saved = test::readFile(dir.file(pages == 1 ? "result.txt" : "result3.txt"));
    EXPECT_EQ(saved, site.site().answer({"GET", expected.back(), "www.localhost:" + std::to_string(port)}).body);
    EXPECT_EQ(frm.lstFile.subItemText(frm.lstFile.count(), 1), "</html>") << "the raw lines show the last page";
    EXPECT_EQ(frm.labSel.caption(), "");
    EXPECT_EQ(frm.imgPrev.picture(), "");
  }
  EXPECT_FALSE(files::fileExists(dir.file("result4.txt")));
}

TEST_F(SiteSearch, ThePagesOfASearchShareAConnectionThatEndsWithTheSearch) {
  test::HttpTestServer relay;
  relay.routes.Get("/results", [&](const httplib::Request &request, httplib::Response &response) {
    response.set_content(site.site().answer({"GET", request.target, "www.localhost"}).body, "text/html");
  });
  relay.routes.set_keep_alive_max_count(100);  // cpp-httplib closes after five requests otherwise
  relay.start();
  SearchCommands viaRelay(frm.controls(), frm.settings, test::localSiteAddress(relay.port()), dir.path());
  frm.settings.respages = 3;
  frm.txtSearch.setText("klipfang");
  viaRelay.search();
  viaRelay.search();

  const auto seen = relay.requests();
  ASSERT_EQ(seen.size(), 12u) << "HEAD and GET of three pages, twice";
  for (std::size_t i = 1; i < 6; ++i) EXPECT_EQ(seen[i].clientPort, seen[0].clientPort) << i;
  EXPECT_NE(seen[6].clientPort, seen[0].clientPort) << "the next search makes its own";
  for (std::size_t i = 7; i < 12; ++i) EXPECT_EQ(seen[i].clientPort, seen[6].clientPort) << i;
  EXPECT_EQ(frm.lstResult.count(), 60);
}

TEST_F(SiteSearch, WordsGoIntoTheAddressesAsTyped) {
  const std::string root = test::localSiteAddress(port).root;
  frm.settings.respages = 1;
  frm.txtSearch.setText("katze tiere");
  EXPECT_EQ(search::PageUrl(root, frm.txtSearch.text(), 2), root + page("katze tiere", 2));
  frm.cmdSearch.click();
  // Only the HTTP layer escapes, on the wire.
  EXPECT_EQ(targets(), std::vector<std::string>{first("katze%20tiere")});

  // The page number goes in before the words: their "%" stays.
  site.clearRequests();
  frm.settings.respages = 2;
  frm.txtSearch.setText("katze%20");
  EXPECT_EQ(search::PageUrl(root, frm.txtSearch.text(), 2), root + page("katze%20", 2));
  frm.cmdSearch.click();
  EXPECT_EQ(targets(), (std::vector<std::string>{first("katze%20"), page("katze%20", 2)}));
  EXPECT_EQ(frm.lstResult.count(), 40);

  site.clearRequests();
  frm.txtSearch.setText("");
  frm.cmdSearch.click();
  EXPECT_EQ(targets("HEAD"), std::vector<std::string>{first("")});
  EXPECT_EQ(frm.lstResult.count(), 0);
  expectIdle();
}

TEST_F(SiteSearch, EmptyPageEndsTheSearch) {
  ASSERT_GT(found("kochen"), 20u);
  ASSERT_LE(found("kochen"), 40u);
  frm.settings.respages = 5;
  frm.txtSearch.setText("kochen");
  frm.cmdSearch.click();
  EXPECT_EQ(targets("HEAD"), (std::vector<std::string>{first("kochen"), page("kochen", 2), page("kochen", 3)}));
  EXPECT_EQ(frm.lstResult.count(), static_cast<int>(found("kochen")));
  EXPECT_TRUE(files::fileExists(dir.file("result2.txt")));
  EXPECT_EQ(test::readFile(dir.file("result3.txt")), "");
  EXPECT_EQ(frm.prgDL.max(), 6);
  EXPECT_EQ(frm.labSel.caption(), "");
  expectIdle();
}

TEST_F(SiteSearch, AnEmptyFirstPageIsSavedEmptyAndToldInTheInfoLine) {
  test::writeFile(dir.file("result.txt"), "from an earlier search");
  frm.imgPrev.setAsset("letzte.jpg");
  frm.txtSearch.setText("xyzzy");
  frm.cmdSearch.click();
  EXPECT_EQ(test::readFile(dir.file("result.txt")), "") << "the raw view shows this search's page";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "the older file is gone";
  EXPECT_EQ(frm.lstResult.count(), 0);
  EXPECT_EQ(frm.labSel.caption(), "Keine Videos gefunden.");
  EXPECT_EQ(frm.imgPrev.picture(), "");
  EXPECT_TRUE(frm.tk.boxes.shown().empty()) << "finding nothing is no failure";
  expectIdle();
}

TEST_F(SiteSearch, FailedPageEndsTheSearchAndKeepsTheOlderFile) {
  test::writeFile(dir.file("result2.txt"), "from an earlier search");
  site.setFault({"HEAD", "page=2", 0}, site::Fault::ServerError);
  frm.settings.respages = 3;
  frm.txtSearch.setText("klipfang");
  frm.cmdSearch.click();
  EXPECT_EQ(targets("HEAD"), (std::vector<std::string>{first("klipfang"), page("klipfang", 2)}));
  EXPECT_EQ(frm.lstResult.count(), 20);
  EXPECT_EQ(test::readFile(dir.file("result2.txt")), "from an earlier search");
  EXPECT_TRUE(frm.tk.boxes.shown().empty());
  expectIdle();
}

TEST_F(SiteSearch, AFailedFirstPageIsToldWhyAndKeepsTheOlderFile) {
  test::writeFile(dir.file("result.txt"), "from an earlier search");
  frm.txtSearch.setText("klipfang");
  const auto searchTells = [&](const char8_t *why) {
    frm.txtSearch.keyDown(13);
    ASSERT_FALSE(frm.tk.boxes.shown().empty());
    EXPECT_EQ(frm.tk.boxes.shown().back().text,
              text::cp1252(u8"Die Ergebnisseite konnte nicht geladen werden.\n\n") + text::cp1252(why));
    EXPECT_EQ(frm.lstResult.count(), 0);
    EXPECT_EQ(test::readFile(dir.file("result.txt")), "from an earlier search");
    expectIdle();
  };
  site.setFault({"HEAD", "", 1}, site::Fault::ServerError);
  searchTells(u8"Der Server antwortete mit dem Status 500.");
  site.setFault({"HEAD", "", 1}, site::Fault::NoLength);
  searchTells(u8"Die Antwort des Servers nennt keine Größe.");
  site.setFault({"GET", "", 1}, site::Fault::CutOff);
  searchTells(u8"Die Antwort des Servers war unvollständig oder fehlerhaft.");
  site.stop();
  searchTells(u8"Der Server ist nicht erreichbar.");
  EXPECT_EQ(frm.tk.boxes.shown().size(), 4U);
}

TEST_F(SiteSearch, APageThatCannotBeWrittenWholeKeepsTheOlderFileAndIsTold) {
  test::writeFile(dir.file("result.txt"), "from an earlier search");
  frm.txtSearch.setText("klipfang");
  {
    const test::FileSizeLimit nearlyFullDisk(1000);
    frm.cmdSearch.click();
  }
  ASSERT_EQ(frm.tk.boxes.shown().size(), 1U);
  EXPECT_TRUE(
      frm.tk.boxes.shown()[0].text.starts_with(text::cp1252(u8"Die Ergebnisseite konnte nicht gespeichert werden.")));
  EXPECT_EQ(test::readFile(dir.file("result.txt")), "from an earlier search");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file is left";
  EXPECT_EQ(frm.lstResult.count(), 0);
  expectIdle();
}

TEST_F(SiteSearch, AbortDuringPageTwoListsItAndFetchesNoMore) {
  frm.settings.respages = 5;
  frm.txtSearch.setText("klipfang");
  int valueDuringPageTwo = -1;
  frm.tk.onDoEvents = [&] {
    if (frm.lstResult.count() == 25 && !commands.aborted()) {
      valueDuringPageTwo = frm.prgDL.value();
      frm.cmdAbortS.click();
    }
  };
  frm.cmdSearch.click();
  EXPECT_EQ(targets(), (std::vector<std::string>{first("klipfang"), page("klipfang", 2)}));
  EXPECT_EQ(frm.lstResult.count(), 40) << "the page being parsed is finished";
  EXPECT_EQ(valueDuringPageTwo, 1);
  EXPECT_TRUE(commands.aborted());
  expectIdle();
}

TEST_F(SiteSearch, WordsTypedDuringPageOneGoIntoTheLaterPages) {
  frm.settings.respages = 2;
  frm.txtSearch.setText("katze");
  bool typed = false;
  frm.tk.onDoEvents = [&] {
    if (!typed && frm.lstResult.count() == 3) {
      typed = true;
      frm.txtSearch.typed("hund");
      frm.txtSearch.keyDown(13);  // Enter while the search runs starts no second search
    }
  };
  frm.cmdSearch.click();
  EXPECT_EQ(targets(), (std::vector<std::string>{first("katze"), page("hund", 2)}));
  EXPECT_EQ(frm.lstResult.count(), 40);
  expectIdle();
}

TEST_F(SiteSearch, FewerThanOnePageStillFetchesPageOne) {
  frm.settings.respages = -3;
  frm.txtSearch.setText("klipfang");
  frm.txtSearch.keyDown(65);
  EXPECT_TRUE(targets().empty()) << "only Enter starts a search";
  frm.txtSearch.keyDown(13);
  EXPECT_EQ(targets(), std::vector<std::string>{first("klipfang")});
  EXPECT_EQ(frm.prgDL.max(), 2);
  expectIdle();
}

// The commands that show the two lists and copy a raw line.
TEST(PageViews, FileCommandShowsTheLinesAndResultsCommandTheList) {
  test::SearchWindow frm;
  SearchCommands commands(frm.controls(), frm.settings, test::localSiteAddress(1), "/nonexistent");
  frm.fraCMD.setVisible(true);
  frm.lstFavs.setVisible(true);
  frm.brw.setVisible(true);
  frm.cmdFile.click();
  EXPECT_TRUE(frm.lstFile.visible());
  EXPECT_FALSE(frm.lstResult.visible() || frm.lstFavs.visible() || frm.brw.visible() || frm.fraCMD.visible());

  frm.brw.setVisible(true);
  frm.cmdResults.click();
  EXPECT_TRUE(frm.lstResult.visible());
  EXPECT_FALSE(frm.lstFile.visible() || frm.lstFavs.visible() || frm.brw.visible());
  EXPECT_FALSE(frm.fraCMD.visible()) << "the command frame stays hidden";
}

TEST(PageViews, ClickOnARawLineCopiesItsText) {
  test::SearchWindow frm;
  SearchCommands commands(frm.controls(), frm.settings, test::localSiteAddress(1), "/nonexistent");
  frm.settings.cleartxt = true;
  LoadFile(test::searchData("one_entry.html"), frm.views());
  frm.tk.setClipboardText("before");
  frm.lstFile.clickItem(12);
  EXPECT_EQ(frm.tk.clipboardText(), "Ein sch\xF6nes Video vom See");
  EXPECT_EQ(frm.tk.clipboardClears(), 1);
}

}  // namespace
}  // namespace kf::search
