// The real main window, offscreen, against a server posing as the site that sends pages no site
// should: a description of 20 MB, a line of 400,000 markers. The window lists, marks and watches
// what they hold, in bounded memory.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/base/cp1252.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/window_peer.h"
#include "store/favourites_file.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/peak_memory.h"
#include "support/qt_environment.h"
#include "support/temp_dir.h"
#include "windows/frm_main.h"
#include "windows/video_rows.h"

namespace kf {
namespace {

using qtui::widgetOf;

const std::string kEntryLine =
    R"(<a href="/watch?v=Huge_01" class="vid" title='Riesig'><img src="http://127.0.0.1:1/p.jpg" width="120">)";

class HostilePagesQt : public testing::Test {
 protected:
  void SetUp() override {
    server.routes.Get("/results", [this](const httplib::Request &request, httplib::Response &response) {
      const std::lock_guard lock(pageLock);
      response.set_content(request.has_param("page") ? std::string() : page, "text/html");
    });
    server.start();
    std::filesystem::create_directories(dir.file("dat"));
    test::writeFile(dir.file("sets.cfg"), "respages:1\r\ncleartxt:1\r\npreview:0\r\ninfront:0\r\n");
    test::writeFile(dir.file("vid.kf"), "<html><body>%</body></html>\r\n");
    frm = std::make_unique<windows::FrmMain>(test::qtToolkit(),
                                             windows::Environment{dir.path(), test::localSiteAddress(server.port())});
    frm->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(frm->controls.window)));
  }
  void TearDown() override {
    frm.reset();
    test::deleteLeftovers();
  }

  // Searches a page of one entry: its play time, description marker, description and entry line.
  void search(const std::string &description, const std::string &entryLine) {
    {
      const std::lock_guard lock(pageLock);
      page = "<html>\n<span>3:25</span>\n\n\n<div id=\"descHuge_01\">\n" + description + "\n</div>\n" + entryLine +
             "\n</html>\n";
    }
    frm->controls.txtSearch.setText("alles");
    frm->controls.cmdSearch.click();
    auto *tree = qobject_cast<QTreeWidget *>(widgetOf(frm->controls.lstResult));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree->topLevelItemCount() == frm->controls.lstResult.count(); }));
  }

  // The page outlives the server, whose threads may still be sending it when a test gives up.
  std::mutex pageLock;
  std::string page;
  test::HttpTestServer server;
  test::TempDir dir;
  std::unique_ptr<windows::FrmMain> frm;
};

TEST_F(HostilePagesQt, TwentyMegabyteDescriptionIsListedMarkedAndWatched) {
  const std::u8string words = u8"Grüße aus der Hauptstadt – ";
  std::string description;
  while (description.size() < 20 * test::kMiB) description.append(words.begin(), words.end());
  search(description, kEntryLine);
  ASSERT_EQ(frm->controls.lstResult.count(), 1);
  std::string film;
  while (film.size() < 1000) film += text::cp1252(words);
  film.resize(1000);
  EXPECT_EQ(frm->controls.lstResult.subItemText(1, 1), film) << "repaired and cut";

  frm->controls.lstResult.clickItem(1);
  frm->controls.cmdMark.click();
  frm->controls.cmdWatch.click();
  const QString caption = QString::fromStdU32String(text::toUnicode(film.substr(0, 500)));
  EXPECT_TRUE(QTest::qWaitFor([&] {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [&](const QWidget *widget) { return widget->isVisible() && widget->windowTitle() == caption; });
  }));

  // What the close saves comes back at the next start.
  store::SaveFavourites(frm->favourites, dir.path());
  video::VideoList loaded;
  store::LoadFavourites(loaded, dir.path());
  ASSERT_EQ(loaded.count(), 1);
  EXPECT_EQ(loaded.at(1).Description, film);
  EXPECT_EQ(loaded.entries(), frm->favourites.entries());
}

TEST_F(HostilePagesQt, FourHundredThousandMarkersKeepTheWindowsMemoryBounded) {
  std::string line = kEntryLine;
  for (int i = 0; i < 400'000; ++i) line += "/watch?v=";
  test::expectPeakGrowthBelow(100 * test::kMiB, [&] {
    search("Eine Beschreibung", line);
    // The raw line keeps 4,000 characters; each marker among them gives the entry once.
    EXPECT_EQ(frm->controls.lstResult.count(), 1 + static_cast<int>((4000 - kEntryLine.size()) / 9));
  });
}

}  // namespace
}  // namespace kf
