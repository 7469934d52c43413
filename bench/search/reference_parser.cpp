#include "reference_parser.h"

#include <string>

#include "platform/text/cp1252.h"
#include "platform/toolkit.h"
#include "search/contains_text.h"
#include "search/result_row.h"

namespace kf::bench {
namespace {

using Pos = long long;

std::string zeile(const ui::ListView &lstFile, Pos r) {
  return lstFile.subItemText(static_cast<int>(r), 1);
}

// Positions are 1-based as in the grammar; `at(s, i)` is the character at position i.
char at(const std::string &s, Pos i) {
  return s[static_cast<std::size_t>(i - 1)];
}

std::string referenceEntry(std::string s, const ui::ListView &lstFile) {
  s = text::trimBlanks(s);
  const Pos L = static_cast<Pos>(s.size());
  Pos p = 0;
  for (Pos i = 1; i <= L - 10; ++i) {
    if (s.compare(static_cast<std::size_t>(i - 1), 9, "/watch?v=") == 0) {
      p = i + 9;
      break;
    }
  }
  if (p == 0) return {};
  Pos q = 0;
  std::string id;
  for (Pos i = p; i <= L - p - 1; ++i) {
    if (at(s, i) == '"') {
      q = i;
      break;
    }
  }
  if (q != 0) id = s.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(q - p));
  Pos titleStart = p;
  for (Pos i = p; i <= L - p - 1; ++i) {
    if (at(s, i) == '\'') {
      titleStart = i + 1;
      break;
    }
  }
  Pos titleEnd = q;
  for (Pos i = titleStart; i <= L - titleStart - 2; ++i) {
    if (at(s, i) == '\'') {
      titleEnd = i;
      break;
    }
  }
  std::string title;
  if (titleEnd >= titleStart) {
    title = s.substr(static_cast<std::size_t>(titleStart - 1), static_cast<std::size_t>(titleEnd - titleStart));
  }
  const auto quoted = text::split(s, '"');
  const std::string picture = quoted.size() > 5 ? quoted[5] : std::string();

  const std::string needle = text::lower("desc" + id);
  Pos marker = 0;
  for (Pos k = 1; k <= lstFile.count(); ++k) {
    if (search::ContainsText(needle, text::lower(zeile(lstFile, k)))) {
      marker = k;
      break;
    }
  }
  if (marker == 0 || marker + 1 > lstFile.count() || marker - 3 < 1) return {};
  const std::string description = text::trimBlanks(zeile(lstFile, marker + 1));
  const auto tagged = text::split(zeile(lstFile, marker - 3), '>');
  if (tagged.size() < 2) return {};
  const std::string duration = text::split(tagged[1], '<')[0];
  if (title.empty() || id.empty() || picture.empty() || description.empty() || duration.empty()) return {};
  return text::trimBlanks(title + "|" + id + "|" + picture + "|" + description + "|" + duration);
}

}  // namespace

void referenceParseResults(const search::ResultViews &views) {
  const Pos rows = views.lstFile.count();
  for (Pos r = 1; r <= rows; ++r) {
    const std::string line = text::trimBlanks(zeile(views.lstFile, r));
    if (r == views.lstFile.count()) return;
    if (line.empty()) continue;
    const Pos L = static_cast<Pos>(line.size());
    for (Pos j = 1; j <= L - 8; ++j) {
      if (line.compare(static_cast<std::size_t>(j - 1), 9, "/watch?v=") != 0) continue;
      const std::string entry = referenceEntry(line, views.lstFile);
      if (!entry.empty()) {
        search::AddResultRow(views, entry);
      }
      ui::toolkit().doEvents();
    }
  }
}

}  // namespace kf::bench
