#include "store/is_favourite.h"

#include "video/video_rows.h"

namespace kf::store {

bool IsFavourite(const ui::ListView &lstFavs, std::string_view videoId) {
  return video::findVideo(lstFavs, videoId) != 0;
}

}  // namespace kf::store
