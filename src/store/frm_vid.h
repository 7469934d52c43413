#pragma once
// The video window: a fixed-size tool window whose only control, the browser, fills it.
#include "platform/toolkit.h"
#include "platform/window.h"

namespace kf::store {

class FrmVid {
 public:
  // `infront` is read once here: a window made while it is on stays above all others for its life.
  FrmVid(ui::Toolkit &toolkit, bool infront);

  ui::Window window;
  ui::Browser &brw;
};

}  // namespace kf::store
