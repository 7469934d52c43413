#include "search/load_file.h"

#include <string_view>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/http/limits.h"
#include "platform/os/files.h"
#include "search/clean_text.h"
#include "search/parse_results.h"

namespace kf::search {
namespace {
constexpr std::size_t kMaxRows = 9999;
// A line of the site's pages is a few hundred characters; the list keeps no more of a line than a
// reader can use, so a page of megabyte lines costs neither memory nor seconds per repaint.
constexpr std::size_t kLongestLine = 4000;
}  // namespace

void LoadFile(const std::string &file, const ResultModels &models) {
  std::vector<std::string> lines;
  try {
    // No more than is listed, and no more than a page transfer may bring: a page file from elsewhere
    // is read as far as a saved page could reach.
    const auto pageBytes = static_cast<std::size_t>(http::limitsFor(http::TransferKind::Page).maxBodyBytes);
    lines = files::readLines(file, {.mostLines = kMaxRows, .mostBytes = pageBytes});
  } catch (const Error &) {
    // The search hands over only pages it has just saved; a page that cannot be read lists nothing.
  }
  std::vector<std::string> pageLines;
  for (std::size_t i = 0; i < lines.size() && i < kMaxRows; ++i) {
    std::string &line = lines[i];
    if (const std::string_view kept = text::blanksTrimmed(line); kept.size() != line.size()) line = std::string(kept);
    const bool closing = line == "</html>";
    // Cut after cleaning, so that a character is not split at the cut; a copy, so that the cut line
    // does not keep the long one's memory.
    std::string cleaned = CleanText(std::move(line), models.settings);
    if (cleaned.size() > kLongestLine) cleaned = cleaned.substr(0, kLongestLine);
    pageLines.push_back(std::move(cleaned));
    if (closing) break;
  }
  models.pageLines.replace(std::move(pageLines));
  ParseResults(models);
}

}  // namespace kf::search
