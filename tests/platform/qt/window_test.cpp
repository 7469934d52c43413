// Windows on the Qt toolkit: look, size, close box, user resizing, topmost state, focus, Esc and presses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "platform/base/cp1252.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/window_peer.h"
#include "support/qt_environment.h"

namespace kf::qtui {
namespace {

using test::qtToolkit;

class QtWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { test::deleteLeftovers(); }
};

TEST_F(QtWindowTest, StyleGivesSizeLookAndWindowFlags) {
  ui::WindowStyle mainStyle;
  mainStyle.icon = "klipfang.svg";
  ui::Window main(qtToolkit(), "frmMain", text::cp1252(u8"Klipfang – König"), 10770, 8790, mainStyle);
  QWidget *mainWidget = widgetOf(main);
  ASSERT_NE(mainWidget, nullptr);
  EXPECT_EQ(mainWidget->size(), QSize(718, 586));
  EXPECT_EQ(mainWidget->windowTitle(), QString::fromUtf8(u8"Klipfang – König"));
  EXPECT_EQ(mainWidget->palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_FALSE(mainWidget->windowIcon().isNull());
  EXPECT_EQ(mainWidget->windowFlags() & Qt::WindowType_Mask, Qt::Window);
  EXPECT_LT(mainWidget->minimumWidth(), 718) << "a sizable window can be made smaller";
  main.setCaption(text::cp1252(u8"Grüße"));
  EXPECT_EQ(mainWidget->windowTitle(), QString::fromUtf8(u8"Grüße"));

  ui::WindowStyle toolStyle;
  toolStyle.sizable = false;
  toolStyle.toolWindow = true;
  toolStyle.showInTaskbar = false;
  ui::Window info(qtToolkit(), "frmInfo", "Info", 4680, 2340, toolStyle);
  QWidget *infoWidget = widgetOf(info);
  EXPECT_EQ(infoWidget->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(infoWidget->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(infoWidget->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(infoWidget->minimumSize(), QSize(312, 156));
  EXPECT_EQ(infoWidget->maximumSize(), QSize(312, 156));

  ui::WindowStyle videoStyle = toolStyle;
  videoStyle.showInTaskbar = true;
  ui::Window video(qtToolkit(), "frmVid", "", 6960, 6105, videoStyle);
  EXPECT_EQ(widgetOf(video)->windowFlags() & Qt::WindowType_Mask, Qt::Window)
      << "a tool window that stays in the task bar";
  EXPECT_FALSE(widgetOf(video)->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(QtWindowTest, CentredWindowOpensInTheMiddleOfTheScreen) {
  ui::WindowStyle style;
  style.sizable = false;
  style.centred = true;
  ui::Window window(qtToolkit(), "frmSettings", "Einstellungen", 4185, 3090, style);
  window.show();
  const QPoint middle = widgetOf(window)->screen()->availableGeometry().center();
  const QPoint centre = widgetOf(window)->frameGeometry().center();
  // Placed before the window system adds its frame, so off by at most the frame's width.
  EXPECT_LE((centre - middle).manhattanLength(), 8);
}

TEST_F(QtWindowTest, TopmostFollowsTheWindowAndKeepsItShown) {
  ui::Window window(qtToolkit(), "frmVid", "Video", 6960, 6105, {});
  window.show();
  QWidget *widget = widgetOf(window);
  window.setTopmost(true);
  EXPECT_TRUE(widget->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(widget->isVisible());
  window.setTopmost(false);
  EXPECT_FALSE(widget->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(widget->isVisible());
}

TEST_F(QtWindowTest, CloseBoxAndProgramCloseRunTheCloseHandlerOnce) {
  ui::Window window(qtToolkit(), "frmInfo", "Info", 4680, 2340, {});
  int closes = 0;
  window.onClose = [&] { ++closes; };
  window.show();
  QWidget *widget = widgetOf(window);
  ASSERT_TRUE(widget->isVisible());

  widget->close();  // as the close box does
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(window.isOpen());
  EXPECT_FALSE(widget->isVisible());

  window.show();
  EXPECT_TRUE(widget->isVisible());
  window.close();
  EXPECT_EQ(closes, 2);
  EXPECT_FALSE(widget->isVisible());
}

TEST_F(QtWindowTest, UserResizingAndMinimisingReachTheWindow) {
  ui::Window window(qtToolkit(), "frmMain", "Klipfang", 10770, 8790, {});
  std::vector<std::pair<float, float>> sizes;
  window.onResize = [&] { sizes.emplace_back(window.clientWidth(), window.clientHeight()); };
  window.show();
  ASSERT_EQ(sizes.size(), 1U) << "the first show lays out once";

  QWidget *widget = widgetOf(window);
  widget->resize(500, 400);
  ASSERT_EQ(sizes.size(), 2U);
  EXPECT_EQ(sizes.back(), std::make_pair(7500.0F, 6000.0F));

  widget->showMinimized();
  QCoreApplication::processEvents();
  EXPECT_EQ(sizes.back(), std::make_pair(0.0F, 0.0F));
  widget->showNormal();
  QCoreApplication::processEvents();
  EXPECT_EQ(sizes.back(), std::make_pair(7500.0F, 6000.0F));
}

// Keys and presses go to the platform window, as from the user, not to a widget directly.
TEST_F(QtWindowTest, EscAndLeftPressesReachTheWindowWithTheControlUnderIt) {
  ui::Window window(qtToolkit(), "frmMain", "Klipfang", 6000, 4500, {});
  auto &panel = window.add<ui::Frame>("fraCMD", nullptr, {600, 600, 3000, 1500}, 1);
  auto &label = window.add<ui::Label>("labInside", &panel, {300, 450, 1500, 600}, 2);
  auto &box = window.add<ui::TextBox>("txtSearch", nullptr, {600, 3000, 3000, 300}, 0);
  std::vector<int> escapesAndKeys;
  std::vector<ui::Control *> pressedOn;
  window.onEscape = [&] { escapesAndKeys.push_back(0); };
  window.onLeftMouseDown = [&](ui::Control *control) { pressedOn.push_back(control); };
  box.onKeyDown = [&](int keyCode, int) { escapesAndKeys.push_back(keyCode); };
  window.show();
  QWidget *widget = widgetOf(window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
  QWindow *handle = widget->windowHandle();

  QTest::keyClick(handle, Qt::Key_Escape);
  EXPECT_EQ(escapesAndKeys, (std::vector<int>{0, 27})) << "the control with the focus still gets Esc";
  const auto middleOf = [&](const ui::Control &control) { return widgetOf(control)->mapTo(widget, QPoint(20, 10)); };
  QTest::mouseClick(handle, Qt::LeftButton, {}, middleOf(label));  // a label hands the press on to its frame
  QTest::mouseClick(handle, Qt::RightButton, {}, middleOf(box));
  QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(pressedOn, (std::vector<ui::Control *>{&label, nullptr}));
}

TEST_F(QtWindowTest, WindowPointerShowsOverTheWindow) {
  ui::Window window(qtToolkit(), "frmMain", "Klipfang", 3000, 3000, {});
  window.setMousePointer(ui::MousePointer::Hourglass);
  EXPECT_EQ(widgetOf(window)->cursor().shape(), Qt::WaitCursor);
  window.setMousePointer(ui::MousePointer::Default);
  EXPECT_EQ(widgetOf(window)->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtWindowTest, ControlsSitInTheirFramesAndTheFirstShowFocusesByTabOrder) {
  ui::Window window(qtToolkit(), "frmMain", "Klipfang", 10770, 8790, {});
  auto &frame = window.add<ui::Frame>("fraResult", nullptr, {120, 1800, 10455, 6855}, 3);
  frame.setCaption(text::cp1252(u8"Ergebnisse der Suche:"));
  auto &list = window.add<ui::ListView>("lstFavs", &frame, {-600, 1200, 9375, 5175}, 27);
  auto &later = window.add<ui::TextBox>("txtLater", nullptr, {120, 120, 1500, 285}, 9);
  auto &first = window.add<ui::TextBox>("txtSearch", nullptr, {1560, 360, 5535, 285}, 2);

  auto *box = qobject_cast<QGroupBox *>(widgetOf(frame));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->title(), QStringLiteral("Ergebnisse der Suche:"));
  EXPECT_EQ(box->geometry(), QRect(8, 120, 697, 457));
  EXPECT_EQ(widgetOf(list)->parentWidget(), box);
  EXPECT_EQ(widgetOf(list)->geometry(), QRect(-40, 80, 625, 345));
  EXPECT_NE(box->palette().color(QPalette::Window), QColor(Qt::white)) << "frames keep the system's colour";

  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(widgetOf(window)));
  EXPECT_EQ(QApplication::focusWidget(), widgetOf(first));
  EXPECT_EQ(widgetOf(first)->nextInFocusChain(), widgetOf(later));
}

// The command panel is made before the lists it floats over, and the wait label before the picture
// it covers: whatever was made first must lie on top where controls overlap.
TEST_F(QtWindowTest, ControlsMadeFirstLieOnTopOfLaterOnes) {
  ui::Window window(qtToolkit(), "frmMain", "Klipfang", 10770, 8790, {});
  auto &frame = window.add<ui::Frame>("fraResult", nullptr, {120, 1800, 10455, 6855}, 3);
  auto &panel = window.add<ui::Frame>("fraCMD", &frame, {4080, 2160, 3015, 855}, 22);
  auto &list = window.add<ui::ListView>("lstResult", &frame, {120, 240, 9375, 4335}, 4);
  panel.setVisible(false);
  list.setVisible(false);
  list.setVisible(true);
  panel.setVisible(true);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(window)));
  QWidget *box = widgetOf(frame);
  const QPoint panelMiddle = widgetOf(panel)->geometry().center();
  QWidget *hit = box->childAt(panelMiddle);
  ASSERT_NE(hit, nullptr);
  EXPECT_TRUE(hit == widgetOf(panel) || widgetOf(panel)->isAncestorOf(hit)) << "the panel is covered by the list";
}

}  // namespace
}  // namespace kf::qtui
