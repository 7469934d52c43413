#include "windows/command_panel.h"

#include "windows/shown_video_list.h"

namespace kf::windows {
namespace {

bool isWithin(const ui::Control *control, const ui::Control &container) {
  for (; control; control = control->container()) {
    if (control == &container) return true;
  }
  return false;
}

}  // namespace

void wirePanel(MainControls &controls) {
  // A press on one of the panel's buttons leaves it to the button's command.
  controls.window.onLeftMouseDown = [&controls](ui::Control *control) {
    if (!isWithin(control, controls.fraCMD)) controls.fraCMD.setVisible(false);
  };
  controls.window.keepKeyboardWithin(controls.fraCMD);
  for (ui::Button *button : {&controls.cmdLink, &controls.cmdDll, &controls.cmdMark, &controls.cmdDelFav}) {
    button->onClick = returningKeyboard(controls, std::move(button->onClick));
  }
}

void openPanelFromKeyboard(MainControls &controls) {
  if (controls.lstResult.selectedIndex() == 0) {
    askToSelectAVideo(controls.labSel);
    return;
  }
  controls.fraCMD.setVisible(true);
  controls.window.setFocus(controls.cmdLink);
}

bool closePanel(MainControls &controls) {
  if (!controls.fraCMD.visible()) return false;
  returningKeyboard(controls, [&controls] { controls.fraCMD.setVisible(false); })();
  return true;
}

std::function<void()> returningKeyboard(MainControls &controls, std::function<void()> command) {
  return [&controls, command = std::move(command)] {
    const bool keyboardInPanel = controls.fraCMD.visible() && isWithin(controls.window.focused(), controls.fraCMD);
    if (command) command();
    if (keyboardInPanel && !controls.fraCMD.visible()) controls.window.setFocus(controls.lstResult);
  };
}

}  // namespace kf::windows
