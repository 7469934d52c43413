#include "search/result_row.h"

#include "search/clean_text.h"
#include "store/is_favourite.h"
#include "video/video_rows.h"

namespace kf::search {

// The row number is the count before the row, so a search's first row is 0.
void AddResultRow(const ResultViews &views, const video::VideoEntry &entry) {
  ui::ListView &list = views.lstResult;
  video::VideoEntry shown = entry;
  shown.Description = CleanText(std::move(shown.Description), views.settings);
  const int row = video::appendVideoRow(list, std::to_string(list.count()), shown, video::RowLook::Result);
  if (store::IsFavourite(views.lstFavs, entry.VideoId)) list.setSmallIcon(row, views.img.indexOf("fav"));
}

}  // namespace kf::search
