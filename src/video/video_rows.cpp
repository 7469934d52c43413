#include "video/video_rows.h"

namespace kf::video {
namespace {

// Sub-items, counted from 1; the row text is the number.
constexpr int kFilm = 1;
constexpr int kId = 2;
constexpr int kGfx = 3;
constexpr int kTitle = 4;
constexpr int kDauer = 5;
constexpr std::uint32_t kDurationColour = ui::rgb(0, 0, 255);

std::string_view textOf(const ui::ListView &list, int row, int subItem) {
  const auto &subItems = list.item(row).subItems;
  const auto at = static_cast<std::size_t>(subItem - 1);
  return at < subItems.size() ? std::string_view(subItems[at].text) : std::string_view();
}

}  // namespace

int appendVideoRow(ui::ListView &list, std::string number, const VideoEntry &entry, RowLook look) {
  const int row = list.addItem(std::move(number));
  list.addSubItem(row, entry.Description);
  list.addSubItem(row, entry.VideoId);
  list.addSubItem(row, entry.PictureUrl);
  list.addSubItem(row, entry.Title);
  list.addSubItem(row, entry.Duration);
  if (look == RowLook::Result) {
    list.setSubItemLook(row, kFilm, true);
    list.setSubItemLook(row, kDauer, true, kDurationColour);
  }
  return row;
}

VideoEntry videoAt(const ui::ListView &list, int row) {
  return VideoEntry{.Title = std::string(textOf(list, row, kTitle)),
                    .VideoId = std::string(textOf(list, row, kId)),
                    .PictureUrl = std::string(textOf(list, row, kGfx)),
                    .Description = std::string(textOf(list, row, kFilm)),
                    .Duration = std::string(textOf(list, row, kDauer))};
}

std::string_view videoIdAt(const ui::ListView &list, int row) {
  return textOf(list, row, kId);
}

int findVideo(const ui::ListView &list, std::string_view videoId) {
  for (int row = 1; row <= list.count(); ++row) {
    if (sameVideo(videoIdAt(list, row), videoId)) return row;
  }
  return 0;
}

int selectedRow(const ui::ListView &list) {
  return list.count() == 0 ? 0 : list.selectedIndex();
}

std::optional<VideoEntry> selectedVideo(const ui::ListView &list) {
  const int row = selectedRow(list);
  if (row == 0) return std::nullopt;
  return videoAt(list, row);
}

}  // namespace kf::video
