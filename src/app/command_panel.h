#pragma once
// The floating command panel goes when the user turns away from it: Esc, or a left click anywhere in
// the main window outside it, as after one of its own commands.
#include "app/main_controls.h"

namespace kf::app {

// Installs the window's Esc and left-press handlers; they act while the controls live.
void hidePanelOnEscapeOrClickOutside(MainControls &controls);

}  // namespace kf::app
