#include "net/content_length.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"

namespace kf::net {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a number leniently: sign, digits, a decimal point and an exponent, with blanks anywhere among
// them, so that a size a server writes oddly ("+1 024", "1e3") still gives the page its size.
// Gathers the characters that belong to it.
class NumberReader {
 public:
  explicit NumberReader(std::string_view text) : text_(text) {}

  std::string read() {
    std::string number;
    if (peek() == '+' || peek() == '-') number += next();
    bool anyDigit = digits(number);
    if (peek() == '.') {
      number += next();
      anyDigit = digits(number) || anyDigit;
    }
    if (!anyDigit) return {};
    exponent(number);
    return number;
  }

 private:
  char peek() {
    while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
    return at_ < text_.size() ? text_[at_] : '\0';
  }
  char next() { return text_[at_++]; }
  bool digits(std::string &number) {
    const std::size_t before = number.size();
    while (isDigit(peek())) number += next();
    return number.size() > before;
  }
  // "E" or "D" with an optional sign, taken only when digits follow.
  void exponent(std::string &number) {
    const char marker = peek();
    if (marker != 'E' && marker != 'e' && marker != 'D' && marker != 'd') return;
    next();
    std::string part = "e";
    if (peek() == '+' || peek() == '-') part += next();
    if (digits(part)) number += part;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

[[noreturn]] void overflow() {
  throw Error(errors::kOverflow, text::cp1252(u8"Überlauf"));
}

}  // namespace

std::optional<std::int32_t> contentLength(const std::string &rawHeaders) {
  static const std::string kName = "content-length:";
  const std::size_t at = text::lower(rawHeaders).find(kName);
  if (at == std::string::npos) return std::nullopt;
  const std::string number = NumberReader(text::trimBlanks(rawHeaders.substr(at + kName.size()))).read();
  if (number.empty()) return std::nullopt;
  const char *begin = number.data() + (number.front() == '+' ? 1 : 0);
  double value = 0;
  const auto [end, error] = std::from_chars(begin, number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) overflow();
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  // Halves go to the even neighbour, the rounding of the processor's own conversion, so that one
  // header always gives one size.
  const double whole = std::nearbyint(value);
  if (whole < std::numeric_limits<std::int32_t>::min() || whole > std::numeric_limits<std::int32_t>::max()) overflow();
  return static_cast<std::int32_t>(whole);
}

}  // namespace kf::net
