#pragma once
// The result list lstResult and the favourites list lstFavs show a video list one video a row, in the
// same columns: the row text "Nr.", then the sub-items Film (Description), ID (VideoId), Gfx
// (PictureUrl), Title and Dauer (Duration). Only this file knows which column holds which field; the
// commands take the videos from the lists the program keeps, never from the rows.
#include <functional>
#include <optional>

#include "platform/ui/controls.h"
#include "video/video_list.h"

namespace kf::windows {

enum class RowLook {
  Plain,
  // Film bold, Dauer bold and blue: how the results stand out from the page.
  Result
};

// How a list shows its videos: the look of the rows, the number of the first row, and the row icon
// of a video (0 for none).
struct RowStyle {
  RowLook look = RowLook::Plain;
  int firstNumber = 1;
  std::function<int(const video::VideoEntry &)> iconOf;
};

// A video list and the list control that shows it.
struct VideoView {
  video::VideoList &videos;
  ui::ListView &list;

  // The selected row, or 0 when the list is empty or has no row selected.
  int selectedRow() const;
  // The video of the selected row; nothing when selectedRow() is 0.
  std::optional<video::VideoEntry> selected() const;
};

// From now on the rows of `view.list` follow `view.videos`: a video appended gets a row numbered by
// the count before it plus style.firstNumber (so a removed one leaves the others' numbers as they
// were), a video removed loses its row, and clearing the videos clears the rows.
void showVideos(const VideoView &view, const RowStyle &style);

}  // namespace kf::windows
