#pragma once
// The watch button: plays the selected video of the list shown, results or favourites, in the video
// window.
#include "platform/ui/controls.h"
#include "store/build_watch_page.h"

namespace kf::store {

struct WatchControls {
  ui::Button &cmdWatch;
  ui::ListView &lstResult;
  ui::ListView &lstFavs;
};

// Installs the button's handler; it must live as long as the controls do.
class WatchCommand {
 public:
  WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage);
  WatchCommand(const WatchCommand &) = delete;
  WatchCommand &operator=(const WatchCommand &) = delete;

 private:
  WatchControls controls_;
};

}  // namespace kf::store
