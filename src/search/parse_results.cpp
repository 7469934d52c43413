#include "search/parse_results.h"

#include <string>
#include <string_view>

#include "platform/text/cp1252.h"
#include "platform/toolkit.h"
#include "search/parse_entry.h"
#include "search/result_page.h"
#include "search/result_row.h"

namespace kf::search {
namespace {

constexpr std::string_view kWatch = "/watch?v=";

std::size_t countMarkers(std::string_view line) {
  std::size_t count = 0;
  for (auto at = line.find(kWatch); at != std::string_view::npos; at = line.find(kWatch, at + 1)) ++count;
  return count;
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
      if (!entry.empty()) AddResultRow(views, entry);
      ui::toolkit().doEvents();
    }
  }
}

}  // namespace kf::search
