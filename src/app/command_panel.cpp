#include "app/command_panel.h"

namespace kf::app {
namespace {

bool isWithin(const ui::Control *control, const ui::Control &container) {
  for (; control; control = control->container()) {
    if (control == &container) return true;
  }
  return false;
}

}  // namespace

void hidePanelOnEscapeOrClickOutside(MainControls &c) {
  c.window.onEscape = [&c] { c.fraCMD.setVisible(false); };
  // A press on one of the panel's buttons leaves it to the button's command.
  c.window.onLeftMouseDown = [&c](ui::Control *control) {
    if (!isWithin(control, c.fraCMD)) c.fraCMD.setVisible(false);
  };
}

}  // namespace kf::app
