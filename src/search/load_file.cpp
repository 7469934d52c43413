#include "search/load_file.h"

#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/http/limits.h"
#include "platform/text/cp1252.h"
#include "search/clean_text.h"
#include "search/parse_results.h"

namespace kf::search {
namespace {
constexpr std::size_t kMaxRows = 9999;
}

void LoadFile(const std::string &file, const ResultViews &views) {
  std::vector<std::string> lines;
  try {
    // No more than is listed, and no more than a page transfer may bring: a page file from elsewhere
    // is read as far as a saved page could reach.
    const auto pageBytes = static_cast<std::size_t>(http::limitsFor(http::TransferKind::Page).maxBodyBytes);
    lines = files::readLines(file, {.mostLines = kMaxRows, .mostBytes = pageBytes});
  } catch (const Error &) {
    // The search hands over only pages it has just saved; a page that cannot be read lists nothing.
  }
  views.lstFile.clear();
  for (std::size_t r = 0; r < lines.size() && r < kMaxRows; ++r) {
    const int row = views.lstFile.addItem(std::to_string(r + 1));
    const std::string line = text::trimBlanks(lines[r]);
    views.lstFile.addSubItem(row, CleanText(line, views.settings));
    if (line == "</html>") break;
  }
  ParseResults(views);
}

}  // namespace kf::search
