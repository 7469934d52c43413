#pragma once
// The Qt side of a window: a top-level widget with the window's look, whose close box, size changes,
// minimising, keys and left mouse presses reach the window's events.
#include <QObject>
#include <QWidget>

#include "platform/ui/window.h"

namespace kf::qtui {

class QtWindowPeer : public QObject, public ui::WindowPeer {
 public:
  explicit QtWindowPeer(ui::Window &window);
  ~QtWindowPeer() override;
  QtWindowPeer(const QtWindowPeer &) = delete;
  QtWindowPeer &operator=(const QtWindowPeer &) = delete;

  QWidget *widget() const { return widget_; }

  void show() override;
  void close() override;
  void bringToFront() override;
  void captionChanged() override;
  void topmostChanged() override;
  void mousePointerChanged() override;

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  bool seeInput(QEvent *event);
  ui::Control *controlAt(QPoint position) const;
  ui::Control *controlOf(QWidget *widget) const;
  void reportSize();
  void followTabOrder();
  void centre();

  ui::Window &window_;
  QWidget *widget_;
};

// The top-level widget of a window made by the Qt toolkit; null for others.
QWidget *widgetOf(const ui::Window &window);

}  // namespace kf::qtui
