#pragma once
// The video site's two base addresses. Every page address starts with `root` (the full host name);
// only the video file request uses `rootBare` (the short host name). Fixed at build time for the
// program; tests point the logic at a site on another port.
#include <string>

namespace kf::net {

struct SiteAddress {
  std::string root;      // SiteRoot, e.g. "http://www.localhost:8480", no trailing "/"
  std::string rootBare;  // SiteRootBare, e.g. "http://localhost:8480"
};

SiteAddress builtInSiteAddress();

// The site's addresses for a server on this machine at `port`, in the same two host forms.
SiteAddress localSiteAddress(int port);

}  // namespace kf::net
