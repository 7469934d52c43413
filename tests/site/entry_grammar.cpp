#include "entry_grammar.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace kf::site::test {
namespace {

std::string trimBlanks(const std::string &s) {
  auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

void replaceAll(std::string &text, const std::string &from, const std::string &to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// 1-based position of the first `c` in s within [from, to], or 0.
long firstIn(const std::string &s, char c, long from, long to) {
  for (long i = std::max(from, 1L); i <= to && i <= static_cast<long>(s.size()); ++i) {
    if (s[static_cast<size_t>(i - 1)] == c) return i;
  }
  return 0;
}

std::vector<std::string> cut(const std::string &s, char at) {
  std::vector<std::string> pieces(1);
  for (char c : s) {
    if (c == at) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(c);
    }
  }
  return pieces;
}

// One entry line, read from its first "/watch?v=", with rows 1-based.
void readEntry(const std::vector<std::string> &rows, size_t row, PageReading &out) {
  const std::string &s = rows[row - 1];
  const std::string where = "row " + std::to_string(row) + ": ";
  const long L = static_cast<long>(s.size());
  long p = 0;
  for (long i = 1; i <= L - 10 && p == 0; ++i) {
    if (s.compare(static_cast<size_t>(i - 1), 9, "/watch?v=") == 0) p = i + 9;
  }
  if (p == 0) return out.problems.push_back(where + "marker too close to the end of the line");
  long q = firstIn(s, '"', p, L - p - 1);
  if (q == 0) return out.problems.push_back(where + "no closing double quote of the id before L - p");
  long titleQuote = firstIn(s, '\'', p, L - p - 1);
  if (titleQuote == 0) return out.problems.push_back(where + "no opening single quote of the title before L - p");
  long p2 = titleQuote + 1;
  long q2 = firstIn(s, '\'', p2, L - p2 - 2);
  if (q2 == 0) return out.problems.push_back(where + "closing single quote of the title beyond L - p' - 2");
  PageEntry e;
  e.id = s.substr(static_cast<size_t>(p - 1), static_cast<size_t>(q - p));
  e.title = s.substr(static_cast<size_t>(p2 - 1), static_cast<size_t>(q2 - p2));
  auto pieces = cut(s, '"');
  if (pieces.size() > 5) e.picture = pieces[5];

  const std::string needle = lower("desc" + e.id);
  size_t marker = 0;
  for (size_t k = 1; k <= rows.size() && marker == 0; ++k) {
    if (lower(rows[k - 1]).find(needle) != std::string::npos) marker = k;
  }
  if (marker != row + 5) return out.problems.push_back(where + "first \"desc\" + id row is not five rows below");
  if (marker + 1 > rows.size()) return out.problems.push_back(where + "no description row");
  e.description = trimBlanks(rows[marker]);
  auto afterOpen = cut(rows[marker - 4], '>');
  if (afterOpen.size() > 1) e.duration = cut(afterOpen[1], '<')[0];

  for (const std::string *field : {&e.title, &e.id, &e.picture, &e.description, &e.duration}) {
    if (field->empty()) return out.problems.push_back(where + "an empty field");
    if (field->find('|') != std::string::npos) return out.problems.push_back(where + "a field holds |");
  }
  out.entries.push_back(e);
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
  if (!ended) out.problems.push_back("no line \"</html>\"");
  if (body.find_first_not_of("\r\n", start) != std::string::npos) out.problems.push_back("text after \"</html>\"");

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
