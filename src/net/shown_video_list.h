#pragma once
// The commands on "the selected video" take it from the list the user sees. The result list and the
// favourites list show their videos alike (video/video_rows.h), so a command reads either the same way.
#include "platform/ui/controls.h"

namespace kf::net {

// The favourites while they are shown; otherwise the results, also while the page lines or the
// browser cover them.
const ui::ListView &shownVideoList(const ui::ListView &lstResult, const ui::ListView &lstFavs);

// A command on the selected video that finds none says so in the Info line `labSel`, rather than do
// nothing without a word.
void askToSelectAVideo(ui::Label &labSel);

}  // namespace kf::net
