#pragma once
#include <string>

#include "search/result_page.h"

namespace kf::search {

// Cuts one video entry out of a page line that holds "/watch?v=": the fields Title, VideoId,
// PictureUrl, Description and Duration joined by "|" in this order, or the empty text when the
// line yields no complete entry. The description and the play time come from the rows around the
// page's "desc" + id marker. Each field is cut to at most 1,000 characters; an id of more than 64
// gives no entry. The line is trimmed of blanks in place.
std::string ParseEntry(std::string &line, const ResultPage &page);

}  // namespace kf::search
