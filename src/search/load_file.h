#pragma once
#include <string>

#include "search/result_models.h"

namespace kf::search {

// Takes a saved result page line by line into the page lines, up to its "</html>" line, the end of
// the file or 9999 lines, each line cut to at most 4,000 characters, and parses it into the results.
// A file that cannot be read leaves the page lines empty, so nothing is found on it.
void LoadFile(const std::string &file, const ResultModels &models);

}  // namespace kf::search
