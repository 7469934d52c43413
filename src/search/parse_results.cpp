#include "search/parse_results.h"

#include <string>
#include <string_view>

#include "platform/text/cp1252.h"
#include "platform/toolkit.h"
#include "search/clean_text.h"
#include "search/parse_entry.h"
#include "search/result_page.h"
#include "store/is_favourite.h"

namespace kf::search {
namespace {

constexpr std::string_view kWatch = "/watch?v=";
constexpr std::uint32_t kDurationColour = ui::rgb(0, 0, 255);

std::size_t countMarkers(std::string_view line) {
  std::size_t count = 0;
  for (auto at = line.find(kWatch); at != std::string_view::npos; at = line.find(kWatch, at + 1)) ++count;
  return count;
}

// The row number is the count before the row, so a search's first row is 0. A "|" inside a field
// has shifted the pieces: they are taken by position all the same.
void addRow(const ResultViews &views, const std::string &entry) {
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

}  // namespace

void ParseResults(const ResultViews &views) {
  const ResultPage page(views.lstFile);
  // The last row is the page's closing line and is never examined.
  for (std::ptrdiff_t r = 1; r < page.rowCount(); ++r) {
    std::string line = text::trimBlanks(page.row(r));
    const std::size_t markers = countMarkers(line);
    if (markers == 0) continue;
    // The entry is always cut from the line's first marker, so every marker yields the same one.
    const std::string entry = ParseEntry(line, page);
    for (std::size_t m = 0; m < markers; ++m) {
      if (!entry.empty()) addRow(views, entry);
      ui::toolkit().doEvents();
    }
  }
}

}  // namespace kf::search
