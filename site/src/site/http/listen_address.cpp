#include "site/http/listen_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace kf::site {
namespace {

// This computer's first IPv4 address beyond the loopback, as a network hands it out.
std::string networkAddress() {
  ifaddrs *all = nullptr;
  if (::getifaddrs(&all) != 0) return {};
  std::string found;
  for (const ifaddrs *each = all; each && found.empty(); each = each->ifa_next) {
    if (!each->ifa_addr || each->ifa_addr->sa_family != AF_INET) continue;
    const in_addr address = reinterpret_cast<const sockaddr_in *>(each->ifa_addr)->sin_addr;
    char text[INET_ADDRSTRLEN] = "";
    if ((ntohl(address.s_addr) >> 24) != 127 && ::inet_ntop(AF_INET, &address, text, sizeof text)) found = text;
  }
  ::freeifaddrs(all);
  return found;
}

}  // namespace

bool isLoopbackAddress(const std::string &address) {
  if (address == "localhost" || address == "::1" || address == "[::1]") return true;
  in_addr v4{};
  return ::inet_pton(AF_INET, address.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127;
}

std::string reachedAt(const std::string &address) {
  if (isLoopbackAddress(address)) return address == "::1" || address == "[::1]" ? "[::1]" : "127.0.0.1";
  if (address == "0.0.0.0" || address == "::" || address == "[::]") {
    const std::string network = networkAddress();
    return network.empty() ? "127.0.0.1" : network;
  }
  return address.find(':') != std::string::npos && !address.starts_with('[') ? "[" + address + "]" : address;
}

}  // namespace kf::site
