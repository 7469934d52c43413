#pragma once
// The result page grammar read the straightforward way, kept as the yardstick for the program's
// parser: every entry searches the page lines from their first row for its description marker,
// lower-casing each row on the way.
#include "search/result_models.h"

namespace kf::bench {

void referenceParseResults(const search::ResultModels &models);

}  // namespace kf::bench
