#pragma once
#include "search/result_views.h"
#include "video/video_entry.h"

namespace kf::search {

// Appends the row of one entry to the result list: numbered from 0, its description cleaned once
// more, Film bold, Dauer bold and blue, the favourite mark when the id is among the favourites.
void AddResultRow(const ResultViews &views, const video::VideoEntry &entry);

}  // namespace kf::search
