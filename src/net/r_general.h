#pragma once
#include <functional>
#include <string>

#include "net/site_address.h"

namespace kf::net {

// The error rGetVideoFileUrl raises when there is no file address.
constexpr int kNoVideoFileUrl = 40510;

// The direct address of a video's file: the site's file request (on site.rootBare) with the query of
// the player embedded in the watch page at `watchPageUrl`. While the page comes, `whileWaiting` runs
// again and again (the window's pending events). Throws
// kf::Error kNoVideoFileUrl, its description saying why in German, when the page cannot be had or
// holds no player query: a bare file request would fetch nothing.
std::string rGetVideoFileUrl(const std::string &watchPageUrl, const SiteAddress &site,
                             const std::function<void()> &whileWaiting = {});

// The player's query cut from a watch page's text: what follows the "?" of the first player
// embedding's address, up to its first parameter beginning with "s". Empty when there is none.
std::string rPlayerQuery(const std::string &watchPage);

// The program path of a registered open command: the text between its first double quote and the
// next double quote followed by a blank, letter case kept; empty when the path is not quoted so.
std::string rBrowserProgramPath(const std::string &command);

// The key under which the browser program's open command is registered.
extern const std::string kBrowserCommandKey;

}  // namespace kf::net
