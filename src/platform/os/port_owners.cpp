#include "platform/os/port_owners.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>

#include "platform/base/error.h"
#include "platform/os/files.h"

namespace kf::ports {
namespace {

constexpr std::string_view kListenState = "0A";
// The kernel writes the listening sockets first; a table longer than this is cut among the
// connections behind them. A line is about 150 bytes.
constexpr files::ReadLimits kTableLimits{.mostBytes = std::size_t{64} << 20, .longestLine = 512};

template <typename Number>
std::optional<Number> numberOf(std::string_view digits, int base) {
  Number value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = line.find_first_not_of(' '); start != std::string_view::npos;) {
    const std::size_t end = std::min(line.find(' ', start), line.size());
    fields.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(' ', end);
  }
  return fields;
}

}  // namespace

std::optional<unsigned> listenerOn(std::string_view line, int port) {
  // sl, local address:port, remote address:port, state, queues, timer, retransmits, uid, ...
  const std::vector<std::string_view> fields = fieldsOf(line);
  if (fields.size() < 8 || fields[3] != kListenState) return std::nullopt;
  const std::string_view local = fields[1];
  const std::size_t colon = local.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<unsigned> localPort = numberOf<unsigned>(local.substr(colon + 1), 16);
  if (!localPort || static_cast<int>(*localPort) != port) return std::nullopt;
  return numberOf<unsigned>(fields[7], 10);
}

std::vector<unsigned> listenersOn(int port) {
  std::vector<unsigned> owners;
  for (const std::string table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    try {
      files::LineReader reader(table, kTableLimits);
      while (!reader.atEnd()) {
        if (const std::optional<unsigned> owner = listenerOn(reader.readLine(), port)) owners.push_back(*owner);
      }
    } catch (const Error &error) {
      if (table.ends_with("6") && error.number() == errors::kFileNotFound) continue;
      throw;
    }
  }
  return owners;
}

std::vector<std::string> addressesOf(std::string_view host) {
  std::string name(host);
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (name == "localhost" || name.ends_with(".localhost")) return {"127.0.0.1", "::1"};
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo *found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return {};
  std::vector<std::string> addresses;
  for (const addrinfo *each = found; each; each = each->ai_next) {
    char text[INET6_ADDRSTRLEN] = "";
    if (::getnameinfo(each->ai_addr, each->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0) continue;
    if (std::find(addresses.begin(), addresses.end(), text) == addresses.end()) addresses.emplace_back(text);
  }
  ::freeaddrinfo(found);
  return addresses;
}

bool isThisComputer(const std::string &address) {
  in_addr v4{};
  in6_addr v6{};
  if (::inet_pton(AF_INET, address.c_str(), &v4) == 1) {
    if ((ntohl(v4.s_addr) >> 24) == 127 || v4.s_addr == INADDR_ANY) return true;
  } else if (::inet_pton(AF_INET6, address.c_str(), &v6) == 1) {
    if (IN6_IS_ADDR_LOOPBACK(&v6) || IN6_IS_ADDR_UNSPECIFIED(&v6)) return true;
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
      char mapped[INET_ADDRSTRLEN] = "";
      return ::inet_ntop(AF_INET, v6.s6_addr + 12, mapped, sizeof mapped) && isThisComputer(mapped);
    }
  } else {
    return false;
  }
  ifaddrs *interfaces = nullptr;
  if (::getifaddrs(&interfaces) != 0) return false;
  bool own = false;
  for (const ifaddrs *each = interfaces; each && !own; each = each->ifa_next) {
    if (!each->ifa_addr) continue;
    if (each->ifa_addr->sa_family == AF_INET) {
      own = std::memcmp(&reinterpret_cast<const sockaddr_in *>(each->ifa_addr)->sin_addr, &v4, sizeof v4) == 0 &&
            address.find(':') == std::string::npos;
    } else if (each->ifa_addr->sa_family == AF_INET6) {
      own = std::memcmp(&reinterpret_cast<const sockaddr_in6 *>(each->ifa_addr)->sin6_addr, &v6, sizeof v6) == 0 &&
            address.find(':') != std::string::npos;
    }
  }
  ::freeifaddrs(interfaces);
  return own;
}

unsigned currentUser() {
  return ::geteuid();
}

std::string userName(unsigned uid) {
  std::array<char, 4096> buffer{};
  passwd entry{};
  passwd *found = nullptr;
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return entry.pw_name;
}

}  // namespace kf::ports
