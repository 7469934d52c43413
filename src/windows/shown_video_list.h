#pragma once
// The commands on "the selected video" take it from the list the user sees.
#include "platform/ui/controls.h"
#include "windows/video_rows.h"

namespace kf::windows {

// The favourites while they are shown; otherwise the results, also while the page lines or the
// browser cover them.
const VideoView &shownVideos(const VideoView &results, const VideoView &favourites);

// A command on the selected video that finds none says so in the Info line `labSel`, rather than do
// nothing without a word.
void askToSelectAVideo(ui::Label &labSel);

}  // namespace kf::windows
