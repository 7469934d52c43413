#include "net/site_address.h"

namespace kf::net {

SiteAddress builtInSiteAddress() {
  return {KF_SITE_ROOT, KF_SITE_ROOT_BARE};
}

SiteAddress localSiteAddress(int port) {
  const std::string p = std::to_string(port);
  return {"http://www.localhost:" + p, "http://localhost:" + p};
}

}  // namespace kf::net
