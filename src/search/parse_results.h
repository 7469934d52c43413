#pragma once
#include "search/result_views.h"

namespace kf::search {

// Appends one row to the result list for every video marker on the page in the raw-line list, and
// lets the window handle its events once per marker, so a long page neither freezes the window nor
// keeps the abort command from being clicked. Nothing is removed and no duplicate suppressed. At most
// 1,000 rows come from one page and the list holds at most 20,000; the markers beyond are ignored.
void ParseResults(const ResultViews &views);

}  // namespace kf::search
