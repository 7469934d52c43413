#include "windows/shown_video_list.h"

#include "platform/base/cp1252.h"

namespace kf::windows {

const VideoView &shownVideos(const VideoView &results, const VideoView &favourites) {
  return favourites.list.visible() ? favourites : results;
}

void askToSelectAVideo(ui::Label &labSel) {
  labSel.setCaption(text::cp1252(u8"Bitte zuerst ein Video auswählen."));
}

}  // namespace kf::windows
