#include "store/watch_command.h"

#include "net/shown_video_list.h"

namespace kf::store {

WatchCommand::WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage) : controls_(controls) {
  controls_.cmdWatch.onClick = [this, &buildWatchPage] {
    buildWatchPage.watchSelected(net::shownVideoList(controls_.lstResult, controls_.lstFavs));
  };
}

}  // namespace kf::store
