#pragma once
#include <string>

#include "platform/controls.h"

namespace kf::store {

// True when a row of the favourites list holds this video id in its "ID" column (sub-item 2),
// compared ignoring letter case; rows are examined from the first, the first match ends the search.
bool IsFavourite(const ui::ListView &lstFavs, const std::string &videoId);

}  // namespace kf::store
