#pragma once
#include <string>

#include "search/result_views.h"

namespace kf::search {

// Lists a saved result page line by line in the raw-line list, up to its "</html>" line, the end of
// the file or 9999 lines, each line cut to at most 4,000 characters, and parses it into the result
// list. A file that cannot be read leaves the raw-line list empty, so nothing is found on it.
void LoadFile(const std::string &file, const ResultViews &views);

}  // namespace kf::search
