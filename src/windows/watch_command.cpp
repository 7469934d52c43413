#include "windows/watch_command.h"

#include "windows/shown_video_list.h"

namespace kf::windows {

WatchCommand::WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage)
    : controls_(controls), buildWatchPage_(buildWatchPage) {
  controls_.cmdWatch.onClick = [this] { watch(shownVideos(controls_.results, controls_.favourites)); };
}

void WatchCommand::watch(const VideoView &view) {
  if (view.selectedRow() == 0) {
    askToSelectAVideo(controls_.labSel);
    return;
  }
  buildWatchPage_.watchSelected(view);
}

}  // namespace kf::windows
