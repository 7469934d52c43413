#include "search/parse_results.h"

#include <string>
#include <string_view>

#include "platform/base/cp1252.h"
#include "search/clean_text.h"
#include "search/parse_entry.h"
#include "search/result_page.h"

namespace kf::search {
namespace {

constexpr std::string_view kWatch = "/watch?v=";
// A page of the site lists a few dozen videos; the bounds keep a page with a marker after every few
// characters from filling the list faster than anyone can read it, or the memory.
constexpr int kMostRowsFromAPage = 1000;
constexpr int kMostRowsListed = 20000;

std::size_t countMarkers(std::string_view line) {
  std::size_t count = 0;
  for (auto at = line.find(kWatch); at != std::string_view::npos; at = line.find(kWatch, at + 1)) ++count;
  return count;
}

}  // namespace

void ParseResults(const ResultModels &models) {
  const int listedBefore = models.results.count();
  // Markers after a bound is reached are ignored.
  const auto full = [&] {
    const int listed = models.results.count();
    return listed - listedBefore >= kMostRowsFromAPage || listed >= kMostRowsListed;
  };
  if (full()) return;
  const ResultPage page(models.pageLines.lines());
  // The last row is the page's closing line and is never examined.
  for (std::ptrdiff_t row = 1; row < page.rowCount(); ++row) {
    const std::string_view trimmed = text::blanksTrimmed(page.row(row));
    const std::size_t markers = countMarkers(trimmed);
    if (markers == 0) continue;
    // The entry is always cut from the line's first marker, so every marker yields the same one.
    std::string line(trimmed);
    auto entry = ParseEntry(line, page);
    if (entry) entry->Description = CleanText(std::move(entry->Description), models.settings);
    for (std::size_t marker = 0; marker < markers; ++marker) {
      if (full()) return;
      if (entry) models.results.append(*entry);
      if (models.afterMarker) models.afterMarker();
    }
  }
}

}  // namespace kf::search
