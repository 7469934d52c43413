#pragma once
// The site's two addresses for a server a test started on this machine, in the program's two host
// forms, as the built-in site has them.
#include <string>

#include "net/site_address.h"

namespace kf::test {

inline net::SiteAddress localSiteAddress(int port) {
  const std::string portText = std::to_string(port);
  return {"http://www.localhost:" + portText, "http://localhost:" + portText};
}

}  // namespace kf::test
