#pragma once
// The Qt side of one control: a widget in its container's widget that follows every change of the
// control, and passes what the user does back to the control's events. The widget belongs to the
// window's widget and goes with it; a peer only ever acts while its control lives.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/ui/controls.h"

namespace kf::qtui {

class QtControlPeer : public QObject, public ui::ControlPeer {
 public:
  QtControlPeer(ui::Control &control, QWidget *widget);
  QWidget *widget() const { return widget_; }
  void changed(ui::Aspect aspect, int index) final;
  void focus() override;
  // Brings a new widget in line with everything its control holds.
  void showAll();

 protected:
  // Geometry, visibility and tooltip; each kind adds its own aspects and hands the rest on.
  virtual void update(ui::Aspect aspect, int index);

 private:
  ui::Control &control_;
  QPointer<QWidget> widget_;
};

// The widget that mirrors a control or window made by the Qt toolkit; null for others.
QWidget *widgetOf(const ui::Control &control);

// A peer of the control's kind, its widget a child of `parent`.
std::unique_ptr<QtControlPeer> makeControlPeer(ui::Control &control, QWidget *parent);

// The peers of each file's kinds; null for a control of another kind.
std::unique_ptr<QtControlPeer> makeDisplayPeer(ui::Control &control, QWidget *parent);
std::unique_ptr<QtControlPeer> makeChoicePeer(ui::Control &control, QWidget *parent);
std::unique_ptr<QtControlPeer> makeTextBoxPeer(ui::Control &control, QWidget *parent);
std::unique_ptr<QtControlPeer> makeListViewPeer(ui::Control &control, QWidget *parent);
std::unique_ptr<QtControlPeer> makeBrowserPeer(ui::Control &control, QWidget *parent);
std::unique_ptr<QtControlPeer> makeScrollPanePeer(ui::Control &control, QWidget *parent);

// The widget a control placed in `container` goes into: the container's own, or for a scroll pane
// the surface it scrolls.
QWidget *contentWidget(QWidget *container);

}  // namespace kf::qtui
