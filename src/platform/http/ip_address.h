#pragma once
// Whether a text is an address in one of the forms an HTTP address may carry for its host, as the
// system reads them.
#include <string_view>

namespace kf::http {

// Four decimal numbers from 0 to 255 without leading zeros, joined by dots: "192.168.1.20".
bool isIpv4Address(std::string_view text);

// An IPv6 address without its brackets: "::1", "fe80::2", "::ffff:192.168.1.20"; no zone.
bool isIpv6Address(std::string_view text);

}  // namespace kf::http
