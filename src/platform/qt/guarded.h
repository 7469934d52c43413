#pragma once
// Where Qt hands an event or a signal to the program's handlers. A failure a handler lets escape is
// told here, at the toolkit's edge, as the program tells any failure no handler caught; carried on
// through Qt's own frames it would leave their state half undone (Qt does not unwind cleanly).
#include <exception>

#include "platform/ui/toolkit.h"

namespace kf::qtui {

template <class Handler>
void runGuarded(Handler &&handler) {
  try {
    handler();
  } catch (...) {
    ui::tellUncaughtFailure(ui::toolkit(), std::current_exception());
  }
}

}  // namespace kf::qtui
