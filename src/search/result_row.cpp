#include "search/result_row.h"

#include "platform/text/cp1252.h"
#include "search/clean_text.h"
#include "store/is_favourite.h"

namespace kf::search {
namespace {
constexpr std::uint32_t kDurationColour = ui::rgb(0, 0, 255);
}

// The row number is the count before the row, so a search's first row is 0. A "|" inside a field
// has shifted the pieces: they are taken by position all the same.
void AddResultRow(const ResultViews &views, const std::string &entry) {
  const auto pieces = text::split(entry, '|');
  ui::ListView &list = views.lstResult;
  const int row = list.addItem(std::to_string(list.count()));
  if (store::IsFavourite(views.lstFavs, pieces[1])) list.setSmallIcon(row, views.img.indexOf("fav"));
  list.addSubItem(row, CleanText(pieces[3], views.settings));
  list.addSubItem(row, pieces[1]);
  list.addSubItem(row, pieces[2]);
  list.addSubItem(row, pieces[0]);
  list.addSubItem(row, pieces[4]);
  list.setSubItemLook(row, 1, true);
  list.setSubItemLook(row, 5, true, kDurationColour);
}

}  // namespace kf::search
