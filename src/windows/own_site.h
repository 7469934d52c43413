#pragma once
// A site on this computer is used only when it is the user's own. Another user's site goes away with
// that user's Klipfang, and whoever listens on the port first could hand this program any page,
// picture, file address and file name he likes.
#include <optional>
#include <string>

#include "net/site_address.h"

namespace kf::windows {

// Why the program must not use `site` (German, for the user), or nothing: a site on another
// computer, nothing listening on its port yet, or only programs of this user's. Its hosts are
// resolved as libcurl resolves them, and every address that is this computer's is checked, whatever
// the name (a name of this computer in the hosts file is one). Where the owners cannot be read they
// cannot be trusted either, and that is refused too. A site that may be used is pinned
// (platform/http/host_pins.h): the program then reaches it at the checked addresses alone, and
// checks it again after a connection to it failed, before the next request.
std::optional<std::string> guardOwnSite(const net::SiteAddress &site);

}  // namespace kf::windows
