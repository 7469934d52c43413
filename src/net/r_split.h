#pragma once
#include <cstdint>
#include <string>

namespace kf::net {

// The piece of `source` after its `occurrence`-th `before` (counted from 1; the `before`s counted do
// not overlap) and before the next `after`. Empty when there is no such piece or it would be empty.
// When `caseSensitive` is false all three texts are lowered first, so the piece comes back in lower
// case.
std::string rGetString(const std::string &source, const std::string &before, const std::string &after,
                       std::int16_t occurrence, bool caseSensitive);

}  // namespace kf::net
