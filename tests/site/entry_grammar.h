#pragma once
// An independent reading of a result page by the program's rules: fixed markers, 1-based
// character positions with their bounds, and line offsets. It reports every place where the
// program would miss or garble an entry.
#include <string>
#include <vector>

namespace kf::site::test {

struct PageEntry {
  std::string title, id, picture, description, duration;
};

struct PageReading {
  std::vector<PageEntry> entries;
  std::vector<std::string> problems;  // empty for a page the program reads in full
};

// `cleanText`: read the lines as the program does with its text repair on (UTF-8 ö, ä, ü pairs
// become single Windows-1252 bytes, "<br/>" and tabs vanish).
PageReading readResultPage(const std::string &body, bool cleanText);

// The program's text repair, on bytes.
std::string cleanText(std::string text);

}  // namespace kf::site::test
