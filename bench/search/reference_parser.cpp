#include "reference_parser.h"

#include <string>
#include <vector>

#include "platform/base/cp1252.h"
#include "search/clean_text.h"

namespace kf::bench {
namespace {

using Pos = long long;

using Lines = std::vector<std::string>;

std::string zeile(const Lines &lstFile, Pos row) {
  return row >= 1 && static_cast<std::size_t>(row) <= lstFile.size() ? lstFile[static_cast<std::size_t>(row - 1)]
                                                                     : std::string();
}

// Positions are 1-based as in the grammar; `at(text, i)` is the character at position i.
char at(const std::string &text, Pos i) {
  return text[static_cast<std::size_t>(i - 1)];
}

std::string referenceEntry(std::string line, const Lines &lstFile) {
  line = text::trimBlanks(line);
  const Pos length = static_cast<Pos>(line.size());
  Pos idStart = 0;
  for (Pos i = 1; i <= length - 10; ++i) {
    if (line.compare(static_cast<std::size_t>(i - 1), 9, "/watch?v=") == 0) {
      idStart = i + 9;
      break;
    }
  }
  if (idStart == 0) return {};
  Pos idEnd = 0;
  std::string id;
  for (Pos i = idStart; i <= length - idStart - 1; ++i) {
    if (at(line, i) == '"') {
      idEnd = i;
      break;
    }
  }
  if (idEnd != 0) id = line.substr(static_cast<std::size_t>(idStart - 1), static_cast<std::size_t>(idEnd - idStart));
  Pos titleStart = idStart;
  for (Pos i = idStart; i <= length - idStart - 1; ++i) {
    if (at(line, i) == '\'') {
      titleStart = i + 1;
      break;
    }
  }
  Pos titleEnd = idEnd;
  for (Pos i = titleStart; i <= length - titleStart - 2; ++i) {
    if (at(line, i) == '\'') {
      titleEnd = i;
      break;
    }
  }
  std::string title;
  if (titleEnd >= titleStart) {
    title = line.substr(static_cast<std::size_t>(titleStart - 1), static_cast<std::size_t>(titleEnd - titleStart));
  }
  const auto quoted = text::split(line, '"');
  const std::string picture = quoted.size() > 5 ? quoted[5] : std::string();

  const std::string needle = text::lower("desc" + id);
  Pos marker = 0;
  for (Pos k = 1; k <= static_cast<Pos>(lstFile.size()); ++k) {
    const std::string lowered = text::lower(zeile(lstFile, k));
    if (!lowered.empty() && lowered.find(needle) != std::string::npos) {
      marker = k;
      break;
    }
  }
  if (marker == 0 || marker + 1 > static_cast<Pos>(lstFile.size()) || marker - 3 < 1) return {};
  const std::string description = text::trimBlanks(zeile(lstFile, marker + 1));
  const auto tagged = text::split(zeile(lstFile, marker - 3), '>');
  if (tagged.size() < 2) return {};
  const std::string duration = text::split(tagged[1], '<')[0];
  if (title.empty() || id.empty() || picture.empty() || description.empty() || duration.empty()) return {};
  return text::trimBlanks(title + "|" + id + "|" + picture + "|" + description + "|" + duration);
}

}  // namespace

void referenceParseResults(const search::ResultModels &models) {
  const Lines &lines = models.pageLines.lines();
  const auto rows = static_cast<Pos>(lines.size());
  for (Pos row = 1; row <= rows; ++row) {
    const std::string line = text::trimBlanks(zeile(lines, row));
    if (row == rows) return;
    if (line.empty()) continue;
    const Pos length = static_cast<Pos>(line.size());
    for (Pos j = 1; j <= length - 8; ++j) {
      if (line.compare(static_cast<std::size_t>(j - 1), 9, "/watch?v=") != 0) continue;
      const std::string entry = referenceEntry(line, lines);
      if (!entry.empty()) {
        auto pieces = text::split(entry, '|');
        pieces.resize(5);
        models.results.append(
            {pieces[0], pieces[1], pieces[2], search::CleanText(pieces[3], models.settings), pieces[4]});
      }
      if (models.afterMarker) models.afterMarker();
    }
  }
}

}  // namespace kf::bench
