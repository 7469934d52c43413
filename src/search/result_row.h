#pragma once
#include <string>

#include "search/result_views.h"

namespace kf::search {

// Appends the row of one entry (the five fields joined by "|", as ParseEntry answers them) to the
// result list: numbered from 0, Film bold, Dauer bold and blue, the favourite mark when the id is
// among the favourites.
void AddResultRow(const ResultViews &views, const std::string &entry);

}  // namespace kf::search
