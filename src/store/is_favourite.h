#pragma once
#include <string_view>

#include "platform/ui/controls.h"

namespace kf::store {

// True when a row of the favourites list names this video, letter case ignored.
bool IsFavourite(const ui::ListView &lstFavs, std::string_view videoId);

}  // namespace kf::store
