#pragma once
// The watch button: plays the selected video of the list shown, results or favourites, in the video
// window. Enter on a row of either list plays that list's selected video.
#include "platform/ui/controls.h"
#include "windows/build_watch_page.h"
#include "windows/video_rows.h"

namespace kf::windows {

struct WatchControls {
  ui::Button &cmdWatch;
  VideoView results;
  VideoView favourites;
  ui::Label &labSel;
};

// Installs the button's handler; it must live as long as the controls do.
class WatchCommand {
 public:
  WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage);
  WatchCommand(const WatchCommand &) = delete;
  WatchCommand &operator=(const WatchCommand &) = delete;

  // Plays the list's selected video, or asks for one in the Info line.
  void watch(const VideoView &view);

 private:
  WatchControls controls_;
  BuildWatchPage &buildWatchPage_;
};

}  // namespace kf::windows
