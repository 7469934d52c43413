#pragma once
// The video site's two base addresses. Every page address starts with `root` (the full host name);
// only the video file request uses `rootBare` (the short host name). Fixed at build time for the
// program unless the user names another site at start; tests point the logic at a site on another
// port.
#include <optional>
#include <string>
#include <string_view>

namespace kf::net {

struct SiteAddress {
  std::string root;      // SiteRoot, e.g. "http://www.localhost:8480", no trailing "/"
  std::string rootBare;  // SiteRootBare, e.g. "http://localhost:8480"
};

SiteAddress builtInSiteAddress();

// The site a user names: "http://HOST" or "http://HOST:PORT", then a path if any (a library site's
// access key: "http://HOST:PORT/KEY"), one trailing "/" allowed; HOST a host name (labels of
// letters, digits and inner hyphens, not ending in a number), an IPv4 address in dotted decimal or
// an IPv6 address in brackets; the path's segments of letters, digits and "-._~". Both roots are
// that address: a host of a local network has no "www." form. Nothing for anything else (another
// scheme, a query, a user name, a port out of range), since every page address is built by
// appending to it.
std::optional<SiteAddress> siteAddressFrom(std::string_view address);

}  // namespace kf::net
