#pragma once
// One Qt toolkit for the whole test program (Qt allows one application object per process), set up
// before the first test and set as the toolkit every test uses. It answers every message box at once
// (QtToolkit::answering); a test queues answers and reads the boxes in its `boxes`.
#include "platform/qt/qt_toolkit.h"

namespace kf::test {

qtui::QtToolkit &qtToolkit();

// Windows delete their widgets once control is back in the event loop; tests have no loop of their
// own, so they call this to let those deletions happen.
void deleteLeftovers();

}  // namespace kf::test
