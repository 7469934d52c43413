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

void hidePanelOnEscapeOrClickOutside(MainControls &controls) {
  controls.window.onEscape = [&controls] { controls.fraCMD.setVisible(false); };
  // A press on one of the panel's buttons leaves it to the button's command.
  controls.window.onLeftMouseDown = [&controls](ui::Control *control) {
    if (!isWithin(control, controls.fraCMD)) controls.fraCMD.setVisible(false);
  };
}

}  // namespace kf::app
