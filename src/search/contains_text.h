#pragma once
#include <string_view>

namespace kf::search {

// True when `needle` occurs in `text`, letter case included. An empty text holds nothing, not even
// the empty needle.
bool ContainsText(std::string_view needle, std::string_view text);

}  // namespace kf::search
