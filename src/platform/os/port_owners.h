#pragma once
// Whose programs listen on a TCP port of this machine. The kernel's socket tables name the user of
// every socket, which no program can pose as: a site on this computer is used only when it is the
// user's own.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kf::ports {

// The user id on one line of a kernel socket table (/proc/net/tcp or /proc/net/tcp6) when that
// socket listens on `port`, whatever its address; nothing for another port or state, the heading
// line, or a line that does not parse.
std::optional<unsigned> listenerOn(std::string_view line, int port);

// The user ids of the sockets that listen on `port` of this machine, IPv4 and IPv6, one a socket.
// Raises kf::Error with the reason when a table cannot be read; a system without IPv6 has no IPv6
// table, which is no failure.
std::vector<unsigned> listenersOn(int port);

// The addresses a connection to `host` (a name, an IPv4 address, or an IPv6 address in brackets)
// may go to, as libcurl finds them: "localhost" and the names under it are the loopback, any other
// name is asked of the system's resolver (its hosts file first). Numeric, IPv6 without brackets;
// empty when the host cannot be resolved.
std::vector<std::string> addressesOf(std::string_view host);

// Whether a connection to the numeric `address` stays on this machine: the loopback, the
// unspecified addresses, and the addresses of this machine's own network interfaces.
bool isThisComputer(const std::string &address);

// The user this program runs as, and a user's login name (empty where the system knows none).
unsigned currentUser();
std::string userName(unsigned uid);

}  // namespace kf::ports
