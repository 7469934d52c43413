#pragma once
#include <optional>
#include <string>

#include "search/result_page.h"
#include "video/video_entry.h"

namespace kf::search {

// Cuts one video entry out of a page line that holds "/watch?v=", or nothing when the line yields no
// complete entry. The description and the play time come from the rows around the page's "desc" + id
// marker. Each field is cut to at most 1,000 characters; an id of more than 64 gives no entry. The
// fields are joined by "|" and cut apart again by position, as the site's pages have always been
// read: a "|" inside one shifts the fields after it. The line is trimmed of blanks in place.
std::optional<video::VideoEntry> ParseEntry(std::string &line, const ResultPage &page);

}  // namespace kf::search
