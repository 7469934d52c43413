#pragma once
// How the main window shows what a search finds: the results in the result list, the lines of the
// page loaded last in the page view.
#include "platform/ui/controls.h"
#include "search/page_lines.h"
#include "store/is_favourite.h"
#include "video/video_list.h"
#include "windows/video_rows.h"

namespace kf::windows {

// From now on the result list shows the results: numbered from 0, Film bold, Dauer bold and blue,
// the favourite mark (the image keyed "fav") on every video that is among the favourites.
void showSearchResults(const VideoView &results, const video::VideoList &favourites, const ui::ImageList &img);

// From now on the page view lists the page lines, numbered from 1, each in its "Zeile" column, and
// follows every new page.
void showPageLines(search::PageLines &pageLines, ui::ListView &lstFile);

}  // namespace kf::windows
