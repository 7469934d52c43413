#include "platform/qt/control_peer.h"

#include "platform/qt/convert.h"

namespace kf::qtui {

QtControlPeer::QtControlPeer(ui::Control &control, QWidget *widget) : control_(control), widget_(widget) {}

void QtControlPeer::changed(ui::Aspect aspect, int index) {
  if (widget_) update(aspect, index);
}

void QtControlPeer::focus() {
  if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

void QtControlPeer::showAll() {
  using ui::Aspect;
  for (const Aspect aspect :
       {Aspect::Columns, Aspect::Items, Aspect::Selection, Aspect::Text, Aspect::Look, Aspect::Picture, Aspect::Value,
        Aspect::Location, Aspect::ToolTip, Aspect::Name, Aspect::Geometry, Aspect::Visible}) {
    changed(aspect, 0);
  }
}

void QtControlPeer::update(ui::Aspect aspect, int /*index*/) {
  QWidget *const widget = widget_;
  if (!widget) return;
  switch (aspect) {
    case ui::Aspect::Geometry:
      widget->setGeometry(pixels(control_.left()), pixels(control_.top()), pixels(control_.width()),
                          pixels(control_.height()));
      break;
    case ui::Aspect::Visible:
      widget->setVisible(control_.visible());
      break;
    case ui::Aspect::ToolTip:
      widget->setToolTip(plainToolTip(control_.toolTip()));
      break;
    case ui::Aspect::Name:
      // Without a name of its own a widget is called by what it shows, and a picture button, which
      // shows no words, by the caption of the frame around it.
      widget_->setAccessibleName(shownText(control_.accessibleName()));
      break;
    default:
      break;
  }
}

QWidget *widgetOf(const ui::Control &control) {
  const auto *peer = dynamic_cast<const QtControlPeer *>(control.peer());
  return peer ? peer->widget() : nullptr;
}

std::unique_ptr<QtControlPeer> makeControlPeer(ui::Control &control, QWidget *parent) {
  parent = contentWidget(parent);
  for (const auto make :
       {makeDisplayPeer, makeChoicePeer, makeTextBoxPeer, makeListViewPeer, makeBrowserPeer, makeScrollPanePeer}) {
    if (auto peer = make(control, parent)) return peer;
  }
  return nullptr;
}

}  // namespace kf::qtui
