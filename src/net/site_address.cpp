#include "net/site_address.h"

#include <algorithm>
#include <cctype>

#include "platform/http/ip_address.h"

namespace kf::net {
namespace {

constexpr std::string_view kScheme = "http://";
constexpr std::size_t kMaxHostName = 253;
constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxPath = 200;

bool isAlnum(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// Letters, digits and inner hyphens in dot-separated labels.
bool isHostName(std::string_view host) {
  if (host.empty() || host.size() > kMaxHostName) return false;
  for (std::size_t start = 0; start <= host.size();) {
    const std::size_t dot = std::min(host.find('.', start), host.size());
    const std::string_view label = host.substr(start, dot - start);
    if (label.empty() || label.size() > kMaxLabel || label.front() == '-' || label.back() == '-') return false;
    if (!std::all_of(label.begin(), label.end(), [](char c) { return isAlnum(c) || c == '-'; })) return false;
    start = dot + 1;
  }
  return true;
}

// Whether the last label is a number, decimal or "0x" hexadecimal. The resolver takes such a name
// for an IPv4 address in one of its old forms ("127.1", "0x7f.0.0.1"), so it is taken only in the
// one plain form of an address.
bool endsInNumber(std::string_view host) {
  std::string_view last = host.substr(host.rfind('.') + 1);
  const bool hex = last.starts_with("0x") || last.starts_with("0X");
  if (hex) last.remove_prefix(2);
  return std::all_of(last.begin(), last.end(), [hex](char c) {
    return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : c >= '0' && c <= '9';
  });
}

bool isHost(std::string_view host) {
  if (host.starts_with('[')) {
    return host.size() >= 2 && host.ends_with(']') && http::isIpv6Address(host.substr(1, host.size() - 2));
  }
  return endsInNumber(host) ? http::isIpv4Address(host) : isHostName(host);
}

std::optional<int> portNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  int port = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

// "/" and segments of letters, digits and "-._~", as a library site's key stands in its addresses;
// nothing that an address built by appending to it would read otherwise ("%", "?", "#").
bool isPath(std::string_view path) {
  for (std::size_t start = 1; start <= path.size();) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string_view segment = path.substr(start, slash - start);
    if (segment.empty() || segment == "." || segment == ".." ||
        !std::all_of(segment.begin(), segment.end(),
                     [](char c) { return isAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }))
      return false;
    start = slash + 1;
  }
  return path.size() <= kMaxPath;
}

bool startsWithScheme(std::string_view address) {
  return address.size() >= kScheme.size() &&
         std::equal(kScheme.begin(), kScheme.end(), address.begin(),
                    [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

}  // namespace

SiteAddress builtInSiteAddress() {
  return {KF_SITE_ROOT, KF_SITE_ROOT_BARE};
}

std::optional<SiteAddress> siteAddressFrom(std::string_view address) {
  if (!startsWithScheme(address)) return std::nullopt;
  std::string_view rest = address.substr(kScheme.size());
  if (rest.ends_with('/')) rest.remove_suffix(1);
  // A path after the host and port, as a library site's key: every address is built under it.
  const std::size_t slash = std::min(rest.find('/'), rest.size());
  const std::string_view path = rest.substr(slash);
  rest = rest.substr(0, slash);
  if (!path.empty() && !isPath(path)) return std::nullopt;
  if (rest.empty()) return std::nullopt;
  // The port's colon is the last one, and it follows the bracket of an IPv6 address.
  const std::size_t colon = rest.rfind(':');
  const bool hasPort = colon != std::string_view::npos && (rest.front() != '[' || colon > rest.find(']'));
  const std::string_view host = hasPort ? rest.substr(0, colon) : rest;
  if (!isHost(host)) return std::nullopt;
  std::string root = std::string(kScheme) + std::string(host);
  if (hasPort) {
    const std::optional<int> port = portNumber(rest.substr(colon + 1));
    if (!port) return std::nullopt;
    root += ":" + std::to_string(*port);
  }
  root += path;
  return SiteAddress{root, root};
}

}  // namespace kf::net
