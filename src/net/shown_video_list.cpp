#include "net/shown_video_list.h"

namespace kf::net {

const ui::ListView &shownVideoList(const ui::ListView &lstResult, const ui::ListView &lstFavs) {
  return lstFavs.visible() ? lstFavs : lstResult;
}

}  // namespace kf::net
