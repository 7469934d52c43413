// The about window on the real toolkit: what the window system is told about it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "support/qt_environment.h"
#include "windows/frm_info.h"

namespace kf::windows {
namespace {

std::vector<QWidget *> shownInfoWindows() {
  std::vector<QWidget *> found;
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->windowTitle() == "Info") found.push_back(widget);
  }
  return found;
}

void clickOn(QWidget *widget) {
  const QPointF inside(2, 2);
  QMouseEvent press(QEvent::MouseButtonPress, inside, widget->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, inside, widget->mapToGlobal(inside), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

TEST(InfoWindowOnScreen, FixedToolWindowAboveTheOthersWithItsLink) {
  qtui::QtToolkit &tk = test::qtToolkit();
  std::vector<std::pair<std::string, bool>> opened;
  InfoWindow info(tk, net::SiteAddress{"http://www.localhost:9123", "http://localhost:9123"},
                  [&](const std::string &address, bool visible) { opened.emplace_back(address, visible); });

  info.open();
  info.open();
  tk.doEvents();
  const auto windows = shownInfoWindows();
  ASSERT_EQ(windows.size(), 1U);
  QWidget *window = windows.front();
  EXPECT_EQ(window->windowType(), Qt::Tool);
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(window->size(), QSize(456, 360));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const QRect screen = window->screen()->availableGeometry();
  EXPECT_LE(std::abs(window->geometry().center().x() - screen.center().x()), 4);
  EXPECT_LE(std::abs(window->geometry().center().y() - screen.center().y()), 4);

  QLabel *link = nullptr;
  for (QLabel *label : window->findChildren<QLabel *>()) {
    if (label->text().contains("klipfang")) link = label;
  }
  ASSERT_NE(link, nullptr);
  clickOn(link);
  ASSERT_EQ(opened.size(), 1U);
  EXPECT_EQ(opened[0].first, "http://www.localhost:9123/klipfang");
  EXPECT_TRUE(opened[0].second);
  EXPECT_EQ(link->text().toStdString(), opened[0].first);

  // The close box ends it; the next opening makes one again.
  window->close();
  tk.doEvents();
  EXPECT_EQ(info.current(), nullptr);
  EXPECT_TRUE(shownInfoWindows().empty());
  info.open();
  tk.doEvents();
  EXPECT_EQ(shownInfoWindows().size(), 1U);
}

}  // namespace
}  // namespace kf::windows
