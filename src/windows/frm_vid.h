#pragma once
// The video window: a fixed-size tool window whose only control, the browser, fills it. Closing it
// (the close box or Esc) ends its page; the next watch makes a new window with a page of its own.
#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"

namespace kf::windows {

class FrmVid {
 public:
  // What the browser shows once the window is closed.
  static constexpr const char *kNoPage = "about:blank";

  // `infront` is read once here: a window made while it is on stays above all others for its life.
  FrmVid(ui::Toolkit &toolkit, bool infront);

  ui::Window window;
  ui::Browser &brw;
};

}  // namespace kf::windows
