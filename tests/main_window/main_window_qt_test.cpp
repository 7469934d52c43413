// The main window on the real Qt toolkit, offscreen, against the bundled site: what a user sees at
// start, a search typed into the box and started with Enter, and the page link on the clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/frm_main.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/window_peer.h"
#include "platform/text/cp1252.h"
#include "qt/qt_environment.h"
#include "server.h"
#include "support/temp_dir.h"

namespace kf::app {
namespace {

using qtui::widgetOf;

class MainWindowQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port = site.start();
    test::writeFile(dir.file("sets.cfg"), "respages:1\r\ncleartxt:1\r\npreview:0\r\ninfront:0\r\n");
    frm = std::make_unique<FrmMain>(test::qtToolkit(), Environment{dir.path(), net::localSiteAddress(port)});
    frm->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(frm->c.window)));
  }
  void TearDown() override {
    frm.reset();
    test::deleteLeftovers();
  }

  QTreeWidget *resultList() const { return qobject_cast<QTreeWidget *>(widgetOf(frm->c.lstResult)); }

  site::Server site;
  int port = 0;
  test::TempDir dir;
  std::unique_ptr<FrmMain> frm;
};

TEST_F(MainWindowQtTest, OpensWithTheResultListShowingAndTheKeyboardInTheSearchBox) {
  EXPECT_TRUE(widgetOf(frm->c.lstResult)->isVisible());
  for (const ui::Control *hidden : std::initializer_list<const ui::Control *>{
           &frm->c.lstFavs, &frm->c.lstFile, &frm->c.brw, &frm->c.fraCMD, &frm->c.cmdAbortS, &frm->c.labWait,
           &frm->c.labInfo}) {
    EXPECT_FALSE(widgetOf(*hidden)->isVisible()) << hidden->name();
  }
  EXPECT_EQ(QApplication::focusWidget(), widgetOf(frm->c.txtSearch));
  // 15 twips to the pixel: the search box at 1560, 360, 5535 x 285 twips in its frame.
  EXPECT_EQ(widgetOf(frm->c.txtSearch)->geometry(), QRect(104, 24, 369, 19));
  EXPECT_EQ(widgetOf(frm->c.window)->windowTitle(),
            QString::fromStdU32String(text::toUnicode(mainWindowCaption())));
}

TEST_F(MainWindowQtTest, EnterInTheSearchBoxListsTheSitesResults) {
  auto *box = qobject_cast<QLineEdit *>(widgetOf(frm->c.txtSearch));
  ASSERT_NE(box, nullptr);
  QTest::keyClicks(box, QStringLiteral("katze"));
  QTest::keyClick(box, Qt::Key_Return);

  QTreeWidget *list = resultList();
  ASSERT_GT(frm->c.lstResult.count(), 0);
  // New rows reach the screen together, once a frame.
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == frm->c.lstResult.count(); }));
  const QTreeWidgetItem *first = list->topLevelItem(0);
  EXPECT_EQ(first->text(0), QStringLiteral("0"));
  EXPECT_EQ(first->text(2).size(), 11) << "the video id";
  EXPECT_TRUE(first->text(3).endsWith(QStringLiteral(".jpg"))) << "the picture address";
  EXPECT_FALSE(first->text(1).isEmpty());
  EXPECT_FALSE(first->text(4).isEmpty());
  EXPECT_TRUE(first->text(5).contains(QLatin1Char(':'))) << "the play time";
  EXPECT_TRUE(first->font(1).bold());
  EXPECT_TRUE(first->font(5).bold());
  EXPECT_EQ(first->foreground(5).color(), QColor(0, 0, 255));
  EXPECT_TRUE(widgetOf(frm->c.cmdSearch)->isVisible());
  EXPECT_FALSE(widgetOf(frm->c.cmdAbortS)->isVisible());
  ASSERT_FALSE(site.requests().empty());
  EXPECT_EQ(site.requests().back().target, "/results?search_query=katze&search=Search");
}

TEST_F(MainWindowQtTest, PageLinkReachesTheDesktopClipboardAsOneLine) {
  frm->c.txtSearch.setText("katze");
  frm->c.cmdSearch.click();
  ASSERT_GT(frm->c.lstResult.count(), 0);
  frm->c.lstResult.clickItem(1);
  frm->c.cmdLink.click();
  const std::string id = frm->c.lstResult.subItemText(1, 2);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromStdString("http://www.localhost:" + std::to_string(port) + "/watch?v=" + id));
}

TEST_F(MainWindowQtTest, FileLinkWithTheSiteDownIsTheBareRequestAndAnEmptyListLeavesTheClipboard) {
  QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
  frm->c.cmdDll.click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("vorher")) << "no result listed yet";

  frm->c.txtSearch.setText("katze");
  frm->c.cmdSearch.click();
  ASSERT_GT(frm->c.lstResult.count(), 0);
  frm->c.lstResult.clickItem(1);
  site.stop();
  frm->c.cmdDll.click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromStdString("http://localhost:" + std::to_string(port) + "/get_video.php?"));
}

}  // namespace
}  // namespace kf::app
