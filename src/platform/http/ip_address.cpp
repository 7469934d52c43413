#include "platform/http/ip_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <string>

namespace kf::http {
namespace {

bool parses(int family, std::string_view text) {
  // Longer than the longest form cannot be one, and need not be copied to find out; the system would
  // read up to a NUL only.
  if (text.size() >= INET6_ADDRSTRLEN || text.find('\0') != std::string_view::npos) return false;
  const std::string terminated(text);
  in6_addr address{};
  return ::inet_pton(family, terminated.c_str(), &address) == 1;
}

}  // namespace

bool isIpv4Address(std::string_view text) {
  return parses(AF_INET, text);
}

bool isIpv6Address(std::string_view text) {
  return parses(AF_INET6, text);
}

}  // namespace kf::http
