// A server posing as the site lists entries whose ids and picture addresses try to reach outside
// the program's folders or into the pages it writes. The main window lists them, fetches their
// pictures, watches and keeps them as favourites: files appear only under the program's own names.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>

#include "platform/base/cp1252.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/program_folder.h"
#include "windows/video_rows.h"

namespace kf {
namespace {

using test::readFile;

const std::string kMarker = "kfhostile" + std::to_string(::getpid());
const std::string kPicture = "\xFF\xD8\xFF\xE0 ein Vorschaubild";

struct Entry {
  std::string id;
  std::string picture;      // a path on the server, or a whole address when it has a scheme
  std::string pictureFile;  // the name it is kept under in dat/pics; empty when refused
  int pictureMessages = 0;  // what the click on it shows
};

bool watchable(const std::string &id) {
  return id == "Good_id-123" || id == std::string(64, 'L') || id.starts_with("pic");
}

const std::vector<Entry> kEntries = {
    // Ids that must not name a file or stand in a page.
    {"../../../../../../tmp/" + kMarker, "/vi/1/1.jpg", "1.jpg"},
    {"/tmp/" + kMarker + "abs", "/vi/2/2.jpg", "2.jpg"},
    {"..\\..\\" + kMarker, "/vi/3/3.jpg", "3.jpg"},
    {"x'onmouseover='alert(1)", "/vi/4/4.jpg", "4.jpg"},
    {"<script>alert(1)</script>", "/vi/5/5.jpg", "5.jpg"},
    {"ctl\x01\x1b[31m\rx", "/vi/6/6.jpg", "6.jpg"},
    // Longer than any id may be: no row at all.
    {std::string(300, 'A'), "/vi/7/7.jpg", "7.jpg"},
    {std::string(65, 'M'), "/vi/8/8.jpg", "8.jpg"},
    {"%2e%2e%2f" + kMarker, "/vi/9/9.jpg", "9.jpg"},
    {"\xE4\xF6\xFC-umlaut", "/vi/10/10.jpg", "10.jpg"},
    // Ids that may.
    {"Good_id-123", "/vi/11/11.jpg", "11.jpg"},
    {std::string(64, 'L'), "/vi/12/12.jpg", "12.jpg"},
    // Picture addresses whose last segment tries to be somewhere else or something else.
    {"picA", "/vi/x/../../../../../../tmp/" + kMarker + ".jpg", kMarker + ".jpg"},
    {"picB", "/vi/x\\..\\..\\sets.cfg", "sets.cfg"},
    {"picC", "/vi/x/fav.kf", "fav.kf"},
    {"picD", "/vi/x/<script>alert(1)<img src=x onerror=alert(2)>.jpg",
     "<script>alert(1)<img src=x onerror=alert(2)>.jpg"},
    // Refused: writing and then showing the picture each fail with a message.
    {"picE", "/vi/x/..", "", 2},
    {"picF", "/vi/x/", "", 2},
    {"picG", "/vi/x/" + std::string(300, 'p') + ".jpg", "", 2},
    {"picH", "/vi/x/a\x01-b.jpg", "", 2},
    // Not fetched at all: the transfer takes only http addresses.
    {"picI", "file:///etc/passwd", "", 1},
};

// Seven lines an entry, as the site's result pages have them; the text after the picture keeps
// the reader's bounds for any id length.
std::string entryLines(const Entry &entry, const std::string &pictureAddress, int number) {
  const std::string padding(2 * (entry.id.size() + pictureAddress.size()) + 200, 'x');
  return "<div class=\"vresult\">\n<div class=\"vthumb\"><a href=\"/watch?v=" + entry.id + "\" title='Titel " +
         std::to_string(number) + "'><img src=\"" + pictureAddress + "\" alt=\"" + padding + "\"></a></div>\n" +
         "<div class=\"vinfo\">\n<span class=\"runtime\">1:" + std::to_string(10 + number) + "</span>\n" +
         "<div class=\"vtitle\">Titel</div>\n<div class=\"vtags\">Tags: x</div>\n" + "<div class=\"vdesc\" id=\"desc" +
         entry.id + "\">\nBeschreibung " + std::to_string(number) + "\n</div>\n</div>\n</div>\n";
}

class HostileNames : public testing::Test {
 protected:
  void SetUp() override {
    ui::setToolkit(tk);
    server.routes.Get("/results", [this](const httplib::Request &request, httplib::Response &response) {
      // One page: every later page is empty.
      response.set_content(request.has_param("page") ? std::string() : resultPage(), "text/html");
    });
    server.routes.Get(".*", [](const httplib::Request &, httplib::Response &response) {
      response.set_content(kPicture, "image/jpeg");
    });
    server.start();
  }

  std::string pictureAddress(const Entry &entry) const {
    if (entry.picture.find("://") != std::string::npos) return entry.picture;
    return "http://127.0.0.1:" + std::to_string(server.port()) + entry.picture;
  }
  std::string resultPage() const {
    std::string page = "<html>\n<body>\n";
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
      page += entryLines(kEntries[i], pictureAddress(kEntries[i]), static_cast<int>(i));
    }
    return page + "</body>\n</html>\n";
  }

  std::size_t newMessages() {
    const std::size_t count = tk.boxes.shown().size() - messagesSeen;
    messagesSeen = tk.boxes.shown().size();
    return count;
  }

  static std::vector<video::VideoEntry> favouritesOf(const windows::FrmMain &frm) { return frm.favourites.entries(); }

  ui::HeadlessToolkit tk;
  test::HttpTestServer server;
  test::ProgramFolder folder;
  std::size_t messagesSeen = 0;
};

TEST_F(HostileNames, StayInsideTheProgramsFoldersAndOutOfItsPages) {
  auto frm = folder.start(tk, test::localSiteAddress(server.port()));
  ui::ListView &results = frm->controls.lstResult;
  frm->controls.txtSearch.setText("alles");
  frm->controls.cmdSearch.click();
  // Every entry is listed but those whose id is too long to be watched.
  std::vector<Entry> listed;
  std::copy_if(kEntries.begin(), kEntries.end(), std::back_inserter(listed),
               [](const Entry &entry) { return entry.id.size() <= 64; });
  ASSERT_EQ(listed.size(), kEntries.size() - 2);
  ASSERT_EQ(results.count(), static_cast<int>(listed.size()));

  // The empty second page is saved empty.
  std::set<std::string> expectedTree{"app/",          "app/dat/",          "app/dat/fav.kf", "app/dat/klipfang.lock",
                                     "app/dat/pics/", "app/dat/suchen.kf", "app/result.txt", "app/result2.txt",
                                     "app/sets.cfg",  "app/vid.kf"};
  for (int row = 1; row <= results.count(); ++row) {
    const Entry &entry = listed[static_cast<std::size_t>(row - 1)];
    SCOPED_TRACE(row);
    ASSERT_EQ(results.subItemText(row, 2), entry.id);
    ASSERT_EQ(results.subItemText(row, 3), pictureAddress(entry));

    results.clickItem(row);
    EXPECT_EQ(newMessages(), static_cast<std::size_t>(entry.pictureMessages));
    if (entry.pictureFile.empty()) {
      EXPECT_EQ(frm->controls.imgPrev.picture(), "");
    } else {
      const std::string file = folder.file("dat/pics/" + entry.pictureFile);
      EXPECT_EQ(readFile(file), kPicture);
      EXPECT_EQ(frm->controls.imgPrev.picture(), file);
      expectedTree.insert("app/dat/pics/" + entry.pictureFile);
    }

    results.doubleClick();
    if (watchable(entry.id)) {
      EXPECT_EQ(newMessages(), 0U);
      const std::string page = "dat/" + entry.id + ".html";
      EXPECT_EQ(readFile(folder.file(page)), text::replaceAll(test::kWatchTemplate, "%", entry.id) + "\r\n");
      expectedTree.insert("app/" + page);
    } else {
      ASSERT_EQ(newMessages(), 1U);
      EXPECT_EQ(tk.boxes.shown().back().text,
                text::cp1252(u8"Dieses Video kann nicht angezeigt werden: seine Kennung ist ungültig."));
    }
    frm->controls.cmdMark.click();
  }
  for (const auto &message : tk.boxes.shown()) EXPECT_EQ(message.title, "Klipfang");

  const auto favourites = favouritesOf(*frm);
  ASSERT_EQ(favourites.size(), 2 + listed.size());
  ASSERT_TRUE(test::closeMainWindow(*frm));
  frm.reset();  // the ended program lets go of its folder
  EXPECT_EQ(readFile(folder.file("sets.cfg")), test::kDeliveredSettings);
  EXPECT_EQ(favouritesOf(*folder.start(tk, test::localSiteAddress(server.port()))), favourites)
      << "the favourites come back as they were kept";

  EXPECT_EQ(folder.tree(), expectedTree);
  for (const auto &entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
    EXPECT_EQ(entry.path().filename().string().find(kMarker), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace kf
