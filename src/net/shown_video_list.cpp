#include "net/shown_video_list.h"

#include "platform/base/cp1252.h"

namespace kf::net {

const ui::ListView &shownVideoList(const ui::ListView &lstResult, const ui::ListView &lstFavs) {
  return lstFavs.visible() ? lstFavs : lstResult;
}

void askToSelectAVideo(ui::Label &labSel) {
  labSel.setCaption(text::cp1252(u8"Bitte zuerst ein Video auswählen."));
}

}  // namespace kf::net
