#pragma once
#include "platform/ui/toolkit.h"

namespace kf::windows {

// The busy pointer for the life of a blocking call; afterwards the default pointer, not the one shown
// before, however the call ends.
class BusyPointer {
 public:
  BusyPointer() { ui::toolkit().setMousePointer(ui::MousePointer::Hourglass); }
  ~BusyPointer() { ui::toolkit().setMousePointer(ui::MousePointer::Default); }
  BusyPointer(const BusyPointer &) = delete;
  BusyPointer &operator=(const BusyPointer &) = delete;
};

}  // namespace kf::windows
