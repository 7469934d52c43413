#include "store/watch_command.h"

#include "net/shown_video_list.h"
#include "video/video_rows.h"

namespace kf::store {

WatchCommand::WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage)
    : controls_(controls), buildWatchPage_(buildWatchPage) {
  controls_.cmdWatch.onClick = [this] { watch(net::shownVideoList(controls_.lstResult, controls_.lstFavs)); };
}

void WatchCommand::watch(const ui::ListView &list) {
  if (video::selectedRow(list) == 0) {
    net::askToSelectAVideo(controls_.labSel);
    return;
  }
  buildWatchPage_.watchSelected(list);
}

}  // namespace kf::store
