#pragma once
// The local page that shows one video in the video window: the first line of the template vid.kf
// beside the program, every "%" replaced by the video's id, written to DataDir as <id>.html.
#include <string>
#include <string_view>

#include "net/site_address.h"

namespace kf::store {

// Ids come from page text the site sent; only these may name a file and stand in an address:
// 1 to 64 characters, each a letter, a digit, "-" or "_".
bool isSafeVideoId(std::string_view videoId);

// Writes the page for `videoId` and answers its address ("file://" + path). The delivered template
// frames the site the program is built for; a run against another `site` frames that one. Raises kf::Error with a
// German description, writing nothing, when the id is not safe, the template is missing, unreadable,
// has an empty first line or one of 8 KiB or more, or the page cannot be written. The page is
// replaced whole or not at all.
std::string writeWatchPage(const std::string &appDir, const std::string &videoId, const net::SiteAddress &site);

}  // namespace kf::store
