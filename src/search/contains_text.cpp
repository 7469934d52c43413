#include "search/contains_text.h"

namespace kf::search {

bool ContainsText(std::string_view needle, std::string_view text) {
  return !text.empty() && text.find(needle) != std::string_view::npos;
}

}  // namespace kf::search
