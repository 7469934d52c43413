#pragma once
// The hosts of the program's own site, pinned to the addresses they were checked at: every transfer
// to such a host connects to those addresses alone, whatever a resolver would answer later, and
// after a connection to it failed the host is checked again before the next transfer to it, so a
// port that another user took over meanwhile is not used.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kf::http {

// What a check of a host answers: the addresses to connect to, or why the host must not be used.
struct HostCheck {
  std::vector<std::string> addresses;  // numeric, IPv6 without brackets; empty: nothing to pin
  std::string complaint;               // German, for the user; empty when the host may be used
};

// Checks `host` (as an address names it: "vm", "www.localhost", "[::1]") on `port` now, and answers
// the complaint; else pins it to the addresses the check gave, and keeps `check` for checking it
// again.
std::optional<std::string> pinHost(const std::string &host, int port, std::function<HostCheck()> check);

// Forgets every pinned host.
void unpinAll();

}  // namespace kf::http
