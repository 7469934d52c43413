// The downloads window on real Qt widgets offscreen: rows in a scrolled pane, buttons with words,
// a busy bar, and a close the user can take back.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <string>

#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/window_peer.h"
#include "support/qt_environment.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"
#include "windows/downloads/frm_downloads.h"

namespace kf::downloads {
namespace {

using qtui::widgetOf;

TEST(DownloadsWindowOnScreen, RowsScrollToTheNewOneAndEscAsksLikeTheCloseBox) {
  qtui::QtToolkit &tk = test::qtToolkit();
  test::TempDir dir;
  test::RawHttpServer stalled([](const test::RawRequest &, test::RawConnection &connection) {
    connection.send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(5000, 'x'));
    connection.stall();
  });
  FrmDownloads frm(tk, dir.path(),
                   {[](const std::string &) { return std::optional<std::string>(); },
                    [](const std::string &, const std::string &) {}});
  constexpr int kRows = 6;
  for (int i = 0; i < kRows; ++i) frm.add("http://" + stalled.hostAndPort() + "/clip.webm");
  QWidget *window = widgetOf(frm.window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Klipfang – Downloads"));

  // More rows than the window is high: they lie on the pane's surface, which scrolls.
  auto *pane = qobject_cast<QScrollArea *>(widgetOf(frm.fraRows));
  ASSERT_NE(pane, nullptr);
  const RowControls &last = frm.rows.back()->controls;
  EXPECT_EQ(widgetOf(last.labName)->parentWidget(), widgetOf(last.fraRow));
  EXPECT_EQ(widgetOf(last.fraRow)->parentWidget(), pane->widget());
  EXPECT_EQ(pane->widget()->height(), qtui::pixels(kRows * DownloadRow::kHeight));
  EXPECT_GT(pane->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(pane->verticalScrollBar()->value(), pane->verticalScrollBar()->maximum()) << "the new row is in view";

  while (last.labBytes.caption() != "5 kB") tk.waitForEvent();
  // A screen reader hears a frame of a window, and each row named by its file and how it stands.
  QAccessible::setActive(true);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
  QAccessibleInterface *row = QAccessible::queryAccessibleInterface(widgetOf(last.fraRow));
  EXPECT_EQ(row->role(), QAccessible::Grouping);
  EXPECT_EQ(row->text(QAccessible::Name), qtui::toQString(last.labName.caption()) + QString::fromUtf8(" – läuft"));
  auto *cancel = qobject_cast<QToolButton *>(widgetOf(last.cmdCancel));
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Abbrechen");
  EXPECT_EQ(cancel->toolButtonStyle(), Qt::ToolButtonTextOnly);
  // Without a size the bar is busy: Qt shows an empty range as such.
  EXPECT_EQ(qobject_cast<QProgressBar *>(widgetOf(last.prgBytes))->maximum(), 0);

  tk.boxes.take();
  // Esc is the close box.
  QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
  EXPECT_EQ(tk.boxes.take().size(), 1U);
  EXPECT_TRUE(window->isVisible()) << "Nein keeps the window and its downloads";
  EXPECT_EQ(frm.rows.size(), static_cast<std::size_t>(kRows));
  tk.boxes.answerNext(true);
  window->close();
  EXPECT_EQ(tk.boxes.take().size(), 1U);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(frm.rows.empty());
  test::deleteLeftovers();
}

}  // namespace
}  // namespace kf::downloads
