#pragma once
#include <string_view>

#include "video/video_list.h"

namespace kf::store {

// True when the favourites hold this video, letter case ignored.
bool IsFavourite(const video::VideoList &favourites, std::string_view videoId);

}  // namespace kf::store
