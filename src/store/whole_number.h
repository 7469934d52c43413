#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace kf::store {

// A whole number as the settings and favourites files hold it: an optional sign and decimal digits,
// blanks allowed around them. Anything else, or a value outside -32768..32767, gives nothing, so a
// damaged file is noticed instead of read as some other number.
std::optional<std::int16_t> parseInt16(std::string_view text);

// A count as the favourites file's first line holds it: a whole number from 0 upward in the same
// form, of any size (one too large for 64 bits counts as the largest there is, as no file holds
// that many lines). Anything else, a negative number included, gives nothing.
std::optional<std::uint64_t> parseCount(std::string_view text);

}  // namespace kf::store
