#include "platform/toolkit.h"

#include <cassert>

namespace kf::ui {
namespace {
Toolkit *current = nullptr;
}

Toolkit &toolkit() {
  assert(current && "setToolkit() must run before the first window is made");
  return *current;
}

void setToolkit(Toolkit &toolkit) { current = &toolkit; }

}  // namespace kf::ui
