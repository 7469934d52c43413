#pragma once
// Fits the main window's controls to its client area. Runs on every size change, the first show
// included.
#include "app/main_controls.h"

namespace kf::app {

// A size the controls refuse (negative) leaves that control as it was and the rest goes on, so a tiny
// or minimised window never breaks the layout and the next resize puts everything back.
void layoutMainWindow(MainControls &controls);

}  // namespace kf::app
