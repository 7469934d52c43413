#pragma once
// The floating command panel: opened by the right mouse button or from the keyboard over the result
// list, it goes when the user turns away from it: Esc, or a left click anywhere in the main window
// outside it, as after one of its own commands.
#include "app/main_controls.h"

namespace kf::app {

// Installs the window's left-press handler; it acts while the controls live.
void hidePanelOnClickOutside(MainControls &controls);

// The menu key on the result list: the panel for its selected row, with the keyboard on the panel's
// first button; without a selected row, a word in the Info line instead.
void openPanelFromKeyboard(MainControls &controls);

// Esc: hides the panel and brings the keyboard back to the result list when it was in the panel.
// False when the panel was not shown.
bool closePanel(MainControls &controls);

}  // namespace kf::app
