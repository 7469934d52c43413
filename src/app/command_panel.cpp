#include "app/command_panel.h"

#include "net/shown_video_list.h"

namespace kf::app {
namespace {

bool isWithin(const ui::Control *control, const ui::Control &container) {
  for (; control; control = control->container()) {
    if (control == &container) return true;
  }
  return false;
}

}  // namespace

void hidePanelOnClickOutside(MainControls &controls) {
  // A press on one of the panel's buttons leaves it to the button's command.
  controls.window.onLeftMouseDown = [&controls](ui::Control *control) {
    if (!isWithin(control, controls.fraCMD)) controls.fraCMD.setVisible(false);
  };
}

void openPanelFromKeyboard(MainControls &controls) {
  if (controls.lstResult.selectedIndex() == 0) {
    net::askToSelectAVideo(controls.labSel);
    return;
  }
  controls.fraCMD.setVisible(true);
  controls.window.setFocus(controls.cmdLink);
}

bool closePanel(MainControls &controls) {
  if (!controls.fraCMD.visible()) return false;
  const bool keyboardInPanel = isWithin(controls.window.focused(), controls.fraCMD);
  controls.fraCMD.setVisible(false);
  if (keyboardInPanel) controls.window.setFocus(controls.lstResult);
  return true;
}

}  // namespace kf::app
