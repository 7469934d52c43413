#include "store/watch_command.h"

namespace kf::store {

WatchCommand::WatchCommand(WatchControls controls, BuildWatchPage &buildWatchPage) : c_(controls) {
  c_.cmdWatch.onClick = [this, &buildWatchPage] { buildWatchPage.watchSelected(c_.lstResult); };
}

}  // namespace kf::store
