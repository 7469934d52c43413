#pragma once
// The result list lstResult and the favourites list lstFavs show one video a row, in the same
// columns: the row text "Nr.", then the sub-items Film (Description), ID (VideoId), Gfx (PictureUrl),
// Title and Dauer (Duration). Only this file knows which column holds which field; everyone else
// puts VideoEntrys in and takes them out.
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/controls.h"
#include "video/video_entry.h"

namespace kf::video {

enum class RowLook {
  Plain,
  // Film bold, Dauer bold and blue: how the results stand out from the page.
  Result
};

// Appends a row with this number text showing the entry; answers its position.
int appendVideoRow(ui::ListView &list, std::string number, const VideoEntry &entry, RowLook look = RowLook::Plain);

// The video of a row. A sub-item the row does not have reads as an empty field, so a damaged row is
// carried on whole instead of stopping whoever copies or saves it.
VideoEntry videoAt(const ui::ListView &list, int row);

// The video id of a row, read in place: the favourites are searched once for every result row.
std::string_view videoIdAt(const ui::ListView &list, int row);

// The first row naming this video, letter case ignored; 0 for none.
int findVideo(const ui::ListView &list, std::string_view videoId);

// The selected row, or 0 when the list is empty or has no row selected.
int selectedRow(const ui::ListView &list);

// The video of the selected row; nothing when selectedRow() is 0.
std::optional<VideoEntry> selectedVideo(const ui::ListView &list);

}  // namespace kf::video
