#pragma once
// The site's two addresses for a server a test started on this machine, in the program's two host
// forms, as the built-in site has them.
#include <string>

#include "net/site_address.h"

namespace kf::test {

// `key`: a library site's access key, the first segment of every address.
inline net::SiteAddress localSiteAddress(int port, const std::string &key = {}) {
  const std::string under = std::to_string(port) + (key.empty() ? "" : "/" + key);
  return {"http://www.localhost:" + under, "http://localhost:" + under};
}

}  // namespace kf::test
