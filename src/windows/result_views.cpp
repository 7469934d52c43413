#include "windows/result_views.h"

#include <string>

namespace kf::windows {

void showSearchResults(const VideoView &results, const video::VideoList &favourites, const ui::ImageList &img) {
  showVideos(results,
             {.look = RowLook::Result, .firstNumber = 0, .iconOf = [&favourites, &img](const video::VideoEntry &entry) {
                return store::IsFavourite(favourites, entry.VideoId) ? img.indexOf("fav") : 0;
              }});
}

void showPageLines(search::PageLines &pageLines, ui::ListView &lstFile) {
  pageLines.onReplaced = [&pageLines, &lstFile] {
    lstFile.clear();
    const auto &lines = pageLines.lines();
    for (std::size_t i = 0; i < lines.size(); ++i) lstFile.addSubItem(lstFile.addItem(std::to_string(i + 1)), lines[i]);
  };
  pageLines.onReplaced();
}

}  // namespace kf::windows
