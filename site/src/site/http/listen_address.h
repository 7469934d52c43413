#pragma once
// Who reaches a site by the address it listens on, and by which address they reach it.
#include <string>

namespace kf::site {

// Whether only this computer reaches an address to listen on: 127.0.0.0/8, ::1, localhost.
bool isLoopbackAddress(const std::string &address);

// The host by which a site that listens on `address` is reached: 127.0.0.1 on the loopback, this
// computer's first network address for the unspecified ones (0.0.0.0, ::), else the address
// itself, an IPv6 address in brackets.
std::string reachedAt(const std::string &address);

}  // namespace kf::site
