#include "store/watch_command.h"

#include "net/shown_video_list.h"

namespace kf::store {

WatchCommand::WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage) : c_(controls) {
  c_.cmdWatch.onClick = [this, &buildWatchPage] {
    buildWatchPage.watchSelected(net::shownVideoList(c_.lstResult, c_.lstFavs));
  };
}

}  // namespace kf::store
