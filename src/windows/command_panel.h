#pragma once
// The floating command panel: opened by the right mouse button or from the keyboard over the result
// list, it goes when the user turns away from it: Esc, or a left click anywhere in the main window
// outside it, as after one of its own commands. Opened from the keyboard it holds the keyboard until
// it goes, and then gives it back to the result list, on the row it was opened for.
#include <functional>

#include "windows/main_controls.h"

namespace kf::windows {

// Installs the window's left-press handler and the panel's keys, and has each of the panel's
// buttons give the keyboard back when its command closed the panel. Runs after the commands have
// been installed on the buttons; it acts while the controls live.
void wirePanel(MainControls &controls);

// The menu key on the result list: the panel for its selected row, with the keyboard on the panel's
// first button; without a selected row, a word in the Info line instead.
void openPanelFromKeyboard(MainControls &controls);

// Esc: hides the panel and brings the keyboard back to the result list when it was in the panel.
// False when the panel was not shown.
bool closePanel(MainControls &controls);

// `command` as the panel's keys and buttons run it: should it close the panel while the keyboard
// is in there, the keyboard goes back to the result list.
std::function<void()> returningKeyboard(MainControls &controls, std::function<void()> command);

}  // namespace kf::windows
