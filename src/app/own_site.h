#pragma once
// A site on this computer is used only when it is the user's own. Another user's site goes away with
// that user's Klipfang, and whoever listens on the port first could hand this program any page,
// picture, file address and file name he likes.
#include <optional>
#include <string>

#include "net/site_address.h"

namespace kf::app {

// Why the program must not use `site` (German, for the user), or nothing: a site on another
// computer, nothing listening on its port yet, or only programs of this user's. Where the owners
// cannot be read they cannot be trusted either, and that is refused too.
std::optional<std::string> foreignSiteComplaint(const net::SiteAddress &site);

}  // namespace kf::app
