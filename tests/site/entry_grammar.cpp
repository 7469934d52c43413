#include "entry_grammar.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace kf::site::test {
namespace {

std::string trimBlanks(const std::string &text) {
  auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

void replaceAll(std::string &text, const std::string &from, const std::string &to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// 1-based position of the first `wanted` in `text` within [from, to], or 0.
long firstIn(const std::string &text, char wanted, long from, long to) {
  for (long i = std::max(from, 1L); i <= to && i <= static_cast<long>(text.size()); ++i) {
    if (text[static_cast<size_t>(i - 1)] == wanted) return i;
  }
  return 0;
}

std::vector<std::string> cut(const std::string &text, char at) {
  std::vector<std::string> pieces(1);
  for (char character : text) {
    if (character == at) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(character);
    }
  }
  return pieces;
}

// One entry line, read from its first "/watch?v=", with rows 1-based. A problem names the bounds
// as the page grammar in site/README.md writes them: L the line's length, p and p' where the id and
// the title start.
void readEntry(const std::vector<std::string> &rows, size_t row, PageReading &out) {
  const std::string &line = rows[row - 1];
  const std::string where = "row " + std::to_string(row) + ": ";
  const long length = static_cast<long>(line.size());
  long idStart = 0;
  for (long i = 1; i <= length - 10 && idStart == 0; ++i) {
    if (line.compare(static_cast<size_t>(i - 1), 9, "/watch?v=") == 0) idStart = i + 9;
  }
  if (idStart == 0) return out.problems.push_back(where + "marker too close to the end of the line");
  long idEnd = firstIn(line, '"', idStart, length - idStart - 1);
  if (idEnd == 0) return out.problems.push_back(where + "no closing double quote of the id before L - p");
  long titleQuote = firstIn(line, '\'', idStart, length - idStart - 1);
  if (titleQuote == 0) return out.problems.push_back(where + "no opening single quote of the title before L - p");
  long titleStart = titleQuote + 1;
  long titleEnd = firstIn(line, '\'', titleStart, length - titleStart - 2);
  if (titleEnd == 0) return out.problems.push_back(where + "closing single quote of the title beyond L - p' - 2");
  PageEntry entry;
  entry.id = line.substr(static_cast<size_t>(idStart - 1), static_cast<size_t>(idEnd - idStart));
  entry.title = line.substr(static_cast<size_t>(titleStart - 1), static_cast<size_t>(titleEnd - titleStart));
  auto pieces = cut(line, '"');
  if (pieces.size() > 5) entry.picture = pieces[5];

  const std::string needle = lower("desc" + entry.id);
  size_t marker = 0;
  for (size_t number = 1; number <= rows.size() && marker == 0; ++number) {
    if (lower(rows[number - 1]).find(needle) != std::string::npos) marker = number;
  }
  if (marker != row + 5) return out.problems.push_back(where + "first \"desc\" + id row is not five rows below");
  if (marker + 1 > rows.size()) return out.problems.push_back(where + "no description row");
  entry.description = trimBlanks(rows[marker]);
  auto afterOpen = cut(rows[marker - 4], '>');
  if (afterOpen.size() > 1) entry.duration = cut(afterOpen[1], '<')[0];

  for (const std::string *field : {&entry.title, &entry.id, &entry.picture, &entry.description, &entry.duration}) {
    if (field->empty()) return out.problems.push_back(where + "an empty field");
    if (field->find('|') != std::string::npos) return out.problems.push_back(where + "a field holds |");
  }
  out.entries.push_back(entry);
}

}  // namespace

std::string cleanText(std::string text) {
  replaceAll(text, "\xC3\xB6", "\xF6");
  replaceAll(text, "\xC3\xA4", "\xE4");
  replaceAll(text, "\xC3\xBC", "\xFC");
  replaceAll(text, "<br/>", "");
  replaceAll(text, "\t", "");
  return text;
}

PageReading readResultPage(const std::string &body, bool clean) {
  PageReading out;
  std::vector<std::string> rows;
  size_t start = 0;
  bool ended = false;
  while (start < body.size() && !ended) {
    size_t end = body.find('\n', start);
    std::string line = body.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ended = line == "</html>";
    rows.push_back(trimBlanks(clean ? cleanText(line) : line));
    start = end == std::string::npos ? body.size() : end + 1;
  }
  if (!ended) out.problems.emplace_back("no line \"</html>\"");
  if (body.find_first_not_of("\r\n", start) != std::string::npos) out.problems.emplace_back("text after \"</html>\"");

  std::set<std::string> ids;
  for (size_t row = 1; row < rows.size(); ++row) {
    size_t markers = 0;
    for (size_t at = rows[row - 1].find("/watch?v="); at != std::string::npos;
         at = rows[row - 1].find("/watch?v=", at + 1)) {
      ++markers;
    }
    if (markers > 1) out.problems.push_back("row " + std::to_string(row) + ": more than one \"/watch?v=\"");
    if (markers == 0) continue;
    size_t before = out.entries.size();
    readEntry(rows, row, out);
    if (out.entries.size() > before && !ids.insert(lower(out.entries.back().id)).second) {
      out.problems.push_back("id " + out.entries.back().id + " twice on the page");
    }
  }
  return out;
}

}  // namespace kf::site::test
