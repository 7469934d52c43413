#include "store/whole_number.h"

#include <limits>
#include <string>

#include "platform/base/cp1252.h"

namespace kf::store {
namespace {

struct Signed {
  bool negative;
  std::uint64_t magnitude;  // the largest value for any larger one
};

std::optional<Signed> parseSigned(std::string_view text) {
  const std::string trimmed = text::trimBlanks(text);
  std::string_view digits = trimmed;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char digit : digits) {
    const auto digitValue = static_cast<std::uint64_t>(digit - '0');
    value = value > (kMost - digitValue) / 10 ? kMost : value * 10 + digitValue;
  }
  return Signed{negative, value};
}

}  // namespace

std::optional<std::int16_t> parseInt16(std::string_view text) {
  const auto number = parseSigned(text);
  if (!number) return std::nullopt;
  const std::uint64_t most = number->negative ? 32768U : 32767U;
  if (number->magnitude > most) return std::nullopt;
  const auto magnitude = static_cast<std::int32_t>(number->magnitude);
  return static_cast<std::int16_t>(number->negative ? -magnitude : magnitude);
}

std::optional<std::uint64_t> parseCount(std::string_view text) {
  const auto number = parseSigned(text);
  if (!number || (number->negative && number->magnitude != 0)) return std::nullopt;
  return number->magnitude;
}

}  // namespace kf::store
