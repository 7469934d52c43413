#pragma once
#include <string>

#include "platform/ui/controls.h"

namespace kf::store {

// Two video ids name the same video when they are equal ignoring letter case.
bool sameVideo(const std::string &videoId, const std::string &otherId);

// The first row of the favourites list whose "ID" column (sub-item 2) names this video; 0 for none.
int FindFavourite(const ui::ListView &lstFavs, const std::string &videoId);

// True when a row of the favourites list names this video.
bool IsFavourite(const ui::ListView &lstFavs, const std::string &videoId);

}  // namespace kf::store
