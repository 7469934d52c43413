#include "platform/qt/window_peer.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "platform/qt/accessible.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"
#include "platform/qt/pictures.h"

namespace kf::qtui {
namespace {

Qt::WindowFlags flagsFor(const ui::WindowStyle &style) {
  // Only a tool window leaves the task bar; Qt offers no other way to keep a window out of it.
  Qt::WindowFlags flags = style.toolWindow && !style.showInTaskbar ? Qt::Tool : Qt::Window;
  if (style.toolWindow) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  } else if (!style.sizable) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
             Qt::WindowCloseButtonHint;
  }
  return flags;
}

}  // namespace

QtWindowPeer::QtWindowPeer(ui::Window &window)
    : window_(window), widget_(new WindowSurface(window.style().dialog, flagsFor(window.style()))) {
  const ui::WindowStyle &style = window.style();
  widget_->setWindowTitle(shownText(window.caption(), kLongestWindowCaption));
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, toQColor(style.background));
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(true);
  const QSize client(pixels(window.clientWidth()), pixels(window.clientHeight()));
  if (style.sizable) {
    widget_->resize(client);
    widget_->setMinimumSize(pixels(style.smallestClientWidth), pixels(style.smallestClientHeight));
  } else {
    widget_->setFixedSize(client);
  }
  if (!style.icon.empty()) widget_->setWindowIcon(QIcon(asset(style.icon)));
  widget_->installEventFilter(this);
}

// The window may be going because one of its own widgets' handlers asked for it: the widgets are
// hidden now and deleted once that handler has returned.
QtWindowPeer::~QtWindowPeer() {
  widget_->removeEventFilter(this);
  widget_->hide();
  widget_->deleteLater();
}

void QtWindowPeer::show() {
  followTabOrder();
  if (window_.style().centred) centre();
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
}

// The widget is hidden, not closed: closing would come back here as a click on the close box.
void QtWindowPeer::close() {
  widget_->hide();
}

// A minimised window comes back the way it was before, maximised or not.
void QtWindowPeer::bringToFront() {
  if (widget_->isMinimized()) widget_->setWindowState(widget_->windowState() & ~Qt::WindowMinimized);
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
}

void QtWindowPeer::captionChanged() {
  widget_->setWindowTitle(shownText(window_.caption(), kLongestWindowCaption));
}

void QtWindowPeer::topmostChanged() {
  // Changing a shown window's flags hides it; it has to be shown again.
  const bool shown = widget_->isVisible();
  widget_->setWindowFlag(Qt::WindowStaysOnTopHint, window_.topmost());
  if (shown) widget_->show();
}

void QtWindowPeer::mousePointerChanged() {
  if (window_.mousePointer() == ui::MousePointer::Hourglass) {
    widget_->setCursor(Qt::WaitCursor);
  } else {
    widget_->unsetCursor();
  }
}

bool QtWindowPeer::eventFilter(QObject *watched, QEvent *event) {
  if (watched != widget_) return seeInput(event);
  switch (event->type()) {
    case QEvent::Close:
      // The close box. The window's close handler may end the process or the window itself, so
      // nothing of this peer is touched after it closed; a close the window refused leaves it shown.
      if (window_.isOpen()) {
        bool refused = false;
        runGuarded([&] { refused = !window_.requestClose(); });
        if (refused) {
          event->ignore();
          return true;
        }
      }
      break;
    case QEvent::Show:
      // The platform window exists from the first show on and may be made anew when the window's
      // flags change; installing the filter again on the same one does not install it twice.
      if (QWindow *handle = widget_->windowHandle()) handle->installEventFilter(this);
      break;
    case QEvent::Resize:
      if (!widget_->isMinimized()) reportSize();
      break;
    case QEvent::WindowStateChange:
      if (!widget_->isMinimized()) {
        reportSize();
      } else if (window_.isOpen() && (window_.clientWidth() != 0 || window_.clientHeight() != 0)) {
        runGuarded([this] { window_.resized(0, 0); });
      }
      break;
    default:
      break;
  }
  return false;
}

// The platform window gets each key and mouse press once, before it hands them to the widget with
// the focus or under the pointer, which may pass them on to their parents again. A key the window
// takes never reaches the widget. The handlers may end the window, so nothing of this peer is
// touched after them. While a pop-up list is open (the search box's offers) the keys are its own:
// Esc closes it and does not stop the search, Enter is the box's.
bool QtWindowPeer::seeInput(QEvent *event) {
  if (event->type() == QEvent::KeyPress) {
    const auto &key = *static_cast<QKeyEvent *>(event);
    const int code = keyCode(key);
    if (code == 0 || QApplication::activePopupWidget()) return false;
    window_.focusMovedTo(controlOf(QApplication::focusWidget()));
    if (key.key() == Qt::Key_Escape) {
      runGuarded([this] { window_.escape(); });
      return false;
    }
    bool taken = false;
    runGuarded([&] { taken = window_.keyDown(code, shiftState(key.modifiers())); });
    return taken;
  }
  if (event->type() == QEvent::MouseButtonPress) {
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() == Qt::LeftButton) {
      runGuarded([&] { window_.leftMouseDown(controlAt(mouse->position().toPoint())); });
    }
  }
  return false;
}

ui::Control *QtWindowPeer::controlAt(QPoint position) const {
  return controlOf(widget_->childAt(position));
}

// The control whose widget is `widget` or holds it; nullptr for the window's own surface and for
// widgets of other windows.
ui::Control *QtWindowPeer::controlOf(QWidget *widget) const {
  for (; widget && widget != widget_; widget = widget->parentWidget()) {
    for (const auto &control : window_.controls()) {
      if (widgetOf(*control) == widget) return control.get();
    }
  }
  return nullptr;
}

// Only a size the window does not know yet is news; the size it was made with is not.
void QtWindowPeer::reportSize() {
  if (!window_.isOpen()) return;
  const QSize size = widget_->size();
  if (size.width() != pixels(window_.clientWidth()) || size.height() != pixels(window_.clientHeight())) {
    runGuarded([&] { window_.resized(twips(size.width()), twips(size.height())); });
  }
}

void QtWindowPeer::followTabOrder() {
  std::vector<const ui::Control *> order;
  for (const auto &control : window_.controls()) {
    if (control->takesFocus() && widgetOf(*control)) order.push_back(control.get());
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const ui::Control *a, const ui::Control *b) { return a->tabIndex() < b->tabIndex(); });
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(widgetOf(*order[i - 1]), widgetOf(*order[i]));
}

void QtWindowPeer::centre() {
  const QRect area = widget_->screen()->availableGeometry();
  QRect frame = widget_->frameGeometry();
  frame.moveCenter(area.center());
  widget_->move(frame.topLeft());
}

QWidget *widgetOf(const ui::Window &window) {
  const auto *peer = dynamic_cast<const QtWindowPeer *>(window.peer());
  return peer ? peer->widget() : nullptr;
}

}  // namespace kf::qtui
