#pragma once
// Fits the main window's controls to its client area. Runs on every size change, the first show
// included.
#include "windows/main_controls.h"

namespace kf::windows {

// The smallest client area at which every control is whole and none overlaps another: the preview
// frame's right edge at its start place, and the bottom of the right column's last button in the
// results frame. The window cannot be made smaller.
constexpr float kSmallestMainWidth = 8160 + 2175;
constexpr float kSmallestMainHeight = 1800 + 6120 + 735;

// A size the controls refuse (negative) leaves that control as it was and the rest goes on, so a tiny
// or minimised window never breaks the layout and the next resize puts everything back.
void layoutMainWindow(MainControls &controls);

}  // namespace kf::windows
