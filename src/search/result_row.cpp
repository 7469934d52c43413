#include "search/result_row.h"

#include <array>
#include <string_view>

#include "search/clean_text.h"
#include "store/is_favourite.h"

namespace kf::search {
namespace {
constexpr std::uint32_t kDurationColour = ui::rgb(0, 0, 255);

// The first five pieces of the entry cut at every "|", as views into it.
std::array<std::string_view, 5> fieldsOf(std::string_view entry) {
  std::array<std::string_view, 5> pieces;
  for (std::string_view &piece : pieces) {
    const auto bar = entry.find('|');
    piece = entry.substr(0, bar);
    entry = bar == std::string_view::npos ? std::string_view() : entry.substr(bar + 1);
  }
  return pieces;
}

}  // namespace

// The row number is the count before the row, so a search's first row is 0. A "|" inside a field
// has shifted the pieces: they are taken by position all the same.
void AddResultRow(const ResultViews &views, const std::string &entry) {
  const auto pieces = fieldsOf(entry);
  ui::ListView &list = views.lstResult;
  const int row = list.addItem(std::to_string(list.count()));
  const std::string id(pieces[1]);
  if (store::IsFavourite(views.lstFavs, id)) list.setSmallIcon(row, views.img.indexOf("fav"));
  list.addSubItem(row, CleanText(std::string(pieces[3]), views.settings));
  list.addSubItem(row, id);
  list.addSubItem(row, std::string(pieces[2]));
  list.addSubItem(row, std::string(pieces[0]));
  list.addSubItem(row, std::string(pieces[4]));
  list.setSubItemLook(row, 1, true);
  list.setSubItemLook(row, 5, true, kDurationColour);
}

}  // namespace kf::search
