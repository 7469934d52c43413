// The scroll pane: a scroll area over a surface as wide as the area's view and as high as the pane's
// content. The controls placed in the pane are children of that surface.
#include <QEvent>
#include <QScrollArea>

#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"

namespace kf::qtui {
namespace {

class ScrollPanePeer : public QtControlPeer {
 public:
  ScrollPanePeer(ui::ScrollPane &pane, QWidget *parent) : QtControlPeer(pane, new QScrollArea(parent)), pane_(pane) {
    area()->setFrameShape(QFrame::NoFrame);
    area()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area()->setWidget(new QWidget);
    // The view narrows when the scroll bar comes; the surface follows it.
    area()->viewport()->installEventFilter(this);
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    if (aspect == ui::Aspect::Scroll) {
      // The content may have grown a moment ago: its scroll range first, then the strip.
      fit();
      const ui::Geometry strip = pane_.shownStrip();
      const int half = pixels(strip.height / 2);
      area()->ensureVisible(0, pixels(strip.top) + half, 0, half);
      return;
    }
    QtControlPeer::update(aspect, index);
    if (aspect == ui::Aspect::Geometry) fit();
  }

  bool eventFilter(QObject * /*watched*/, QEvent *event) override {
    if (event->type() == QEvent::Resize) fit();
    return false;
  }

 private:
  QScrollArea *area() const { return static_cast<QScrollArea *>(widget()); }
  void fit() { area()->widget()->resize(area()->viewport()->width(), pixels(pane_.contentHeight())); }

  ui::ScrollPane &pane_;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeScrollPanePeer(ui::Control &control, QWidget *parent) {
  if (control.kind() != ui::Kind::ScrollPane) return nullptr;
  return std::make_unique<ScrollPanePeer>(static_cast<ui::ScrollPane &>(control), parent);
}

QWidget *contentWidget(QWidget *container) {
  const auto *area = qobject_cast<QScrollArea *>(container);
  return area != nullptr && area->widget() != nullptr ? area->widget() : container;
}

}  // namespace kf::qtui
