#include "store/parse_int16.h"

#include <charconv>
#include <limits>

#include "platform/text/cp1252.h"

namespace kf::store {

std::optional<std::int16_t> parseInt16(std::string_view text) {
  const std::string trimmed = text::trimBlanks(text);
  std::string_view digits = trimmed;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  // from_chars alone would take a sign of its own after ours, and stop quietly at a stray character.
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  long value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

}  // namespace kf::store
