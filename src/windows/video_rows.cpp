#include "windows/video_rows.h"

#include <string>

namespace kf::windows {
namespace {

// Sub-items, counted from 1; the row text is the number.
constexpr int kFilm = 1;
constexpr int kDauer = 5;
constexpr std::uint32_t kDurationColour = ui::rgb(0, 0, 255);

void appendRow(ui::ListView &list, const video::VideoEntry &entry, int number, const RowStyle &style) {
  const int row = list.addItem(std::to_string(number));
  list.addSubItem(row, entry.Description);
  list.addSubItem(row, entry.VideoId);
  list.addSubItem(row, entry.PictureUrl);
  list.addSubItem(row, entry.Title);
  list.addSubItem(row, entry.Duration);
  if (style.look == RowLook::Result) {
    list.setSubItemLook(row, kFilm, true);
    list.setSubItemLook(row, kDauer, true, kDurationColour);
  }
  if (style.iconOf) {
    if (const int icon = style.iconOf(entry)) list.setSmallIcon(row, icon);
  }
}

}  // namespace

int VideoView::selectedRow() const {
  if (list.count() == 0) return 0;
  const int row = list.selectedIndex();
  return row <= videos.count() ? row : 0;
}

std::optional<video::VideoEntry> VideoView::selected() const {
  const int row = selectedRow();
  if (row == 0) return std::nullopt;
  return videos.at(row);
}

void showVideos(const VideoView &view, const RowStyle &style) {
  ui::ListView &list = view.list;
  const video::VideoList &videos = view.videos;
  list.clear();
  for (int position = 1; position <= videos.count(); ++position) {
    appendRow(list, videos.at(position), position - 1 + style.firstNumber, style);
  }
  view.videos.setListener({
      .appended = [&list, &videos, style](
                      int position) { appendRow(list, videos.at(position), position - 1 + style.firstNumber, style); },
      .removed = [&list](int position) { list.removeItem(position); },
      .cleared = [&list] { list.clear(); },
  });
}

}  // namespace kf::windows
