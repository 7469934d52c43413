#pragma once
// The result page grammar read the straightforward way, kept as the yardstick for the program's
// parser: every entry searches the raw-line list from its first row for its description marker,
// lower-casing each row on the way.
#include "search/result_views.h"

namespace kf::bench {

void referenceParseResults(const search::ResultViews &views);

}  // namespace kf::bench
