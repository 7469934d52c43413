#include "platform/http/request_address.h"

#include <array>
#include <charconv>

#include "platform/base/cp1252.h"

namespace kf::http {

namespace {

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Blank, control characters, bytes above 127, and what a request target may not hold raw: "#" would
// end the target as a fragment, the others are not allowed in it and servers refuse or mangle them.
// A table, as every character of every address is looked up.
constexpr auto kMustBeEncoded = [] {
  std::array<bool, 256> encoded{};
  for (std::size_t c = 0; c < encoded.size(); ++c) encoded[c] = c <= 0x20 || c >= 0x7F;
  for (const char c : std::string_view("#\"<>{}|\\^`")) encoded[static_cast<unsigned char>(c)] = true;
  return encoded;
}();

bool mustBeEncoded(unsigned char c) {
  return kMustBeEncoded[c];
}

bool isPort(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return false;
  int port = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  return error == std::errc() && end == digits.data() + digits.size() && port >= 1 && port <= 65535;
}

}  // namespace

bool isHostAndPort(std::string_view authority) {
  for (const char c : authority) {
    if (mustBeEncoded(static_cast<unsigned char>(c)) || c == '/' || c == '?') return false;
  }
  // A port follows the last ":" unless that colon lies inside a bracketed IPv6 address.
  const std::size_t colon = authority.rfind(':');
  const std::size_t bracket = authority.rfind(']');
  const bool hasPort = colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket);
  const std::string_view host = hasPort ? authority.substr(0, colon) : authority;
  return !host.empty() && (!hasPort || isPort(authority.substr(colon + 1)));
}

std::string percentEncode(std::string_view pathAndQuery) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(pathAndQuery.size());
  for (std::size_t i = 0; i < pathAndQuery.size(); ++i) {
    const auto c = static_cast<unsigned char>(pathAndQuery[i]);
    const bool keptEscape =
        c == '%' && i + 2 < pathAndQuery.size() && isHexDigit(pathAndQuery[i + 1]) && isHexDigit(pathAndQuery[i + 2]);
    if (mustBeEncoded(c) || (c == '%' && !keptEscape)) {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0x0F];
    } else {
      encoded += static_cast<char>(c);
    }
  }
  return encoded;
}

std::optional<std::string> requestUrl(std::string_view address) {
  constexpr std::string_view kScheme = "http://";
  if (text::lower(address.substr(0, kScheme.size())) != kScheme) return std::nullopt;
  const std::string_view rest = address.substr(kScheme.size());
  const std::size_t pathStart = rest.find_first_of("/?#");
  const std::string_view authority = rest.substr(0, pathStart);
  if (!isHostAndPort(authority)) return std::nullopt;
  std::string path = pathStart == std::string_view::npos ? std::string() : percentEncode(rest.substr(pathStart));
  if (path.empty() || path.front() != '/') path.insert(0, "/");
  return std::string(kScheme) + std::string(authority) + path;
}

}  // namespace kf::http
