#pragma once
#include "search/result_models.h"

namespace kf::search {

// Appends one entry to the results for every video marker on the page lines, its description cleaned
// once more, and calls afterMarker once per marker. Nothing is removed and no duplicate suppressed.
// At most 1,000 entries come from one page and the results hold at most 20,000; the markers beyond
// are ignored.
void ParseResults(const ResultModels &models);

}  // namespace kf::search
