#include "search/clean_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/base/cp1252.h"

namespace kf::search {
namespace {

constexpr std::string_view kBreak = "<br/>";

// The bytes a plain run of text ends at: the start of a character beyond ASCII, of a break tag, a tab.
// A table, as it is asked for every byte of a line that needs cleaning.
constexpr auto kEndsPlainRun = [] {
  std::array<bool, 256> ends{};
  for (std::size_t byte = 0x80; byte < ends.size(); ++byte) ends[byte] = true;
  ends['<'] = ends['\t'] = true;
  return ends;
}();

bool endsPlainRun(char c) {
  return kEndsPlainRun[static_cast<unsigned char>(c)];
}

bool isAscii(std::string_view text) {
  // Eight bytes at a time: most lines of a page are long runs of ASCII.
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  std::uint64_t high = 0;
  std::size_t at = 0;
  for (; at + sizeof high <= text.size(); at += sizeof high) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    high |= word & kHighBits;
  }
  for (; at < text.size(); ++at) high |= static_cast<unsigned char>(text[at]) & 0x80U;
  return high == 0;
}

// True when the cleaning would change nothing: no character beyond ASCII, no break tag, no tab.
bool isClean(std::string_view text) {
  return isAscii(text) && text.find('\t') == std::string_view::npos && text.find(kBreak) == std::string_view::npos;
}

}  // namespace

// The site writes UTF-8, and its pages are read as Windows-1252 bytes, so a character beyond ASCII
// arrives as two to four characters. Each such sequence that the code page can hold becomes its one
// character again; anything else stays byte for byte, so nothing the site sent is lost. Tabs and
// break tags become one blank between two words in the same pass, and go elsewhere: both are ASCII,
// which no repaired sequence yields or contains, so the tags found are those a repair first and a
// drop after would find, and a sequence split by a tag stays split. Every line of every page comes
// through here, so a line that needs no cleaning is only looked at and handed back, and plain runs
// are copied whole.
std::string CleanText(std::string line, const store::Settings &settings) {
  if (!settings.cleartxt || isClean(line)) return line;
  const std::string_view text = line;
  std::string out;
  out.reserve(text.size());
  // A break or a tab between two words stands for the blank that keeps them apart: it is written
  // once the next character is known not to be a blank itself.
  bool broken = false;
  const auto keep = [&](std::string_view piece) {
    if (piece.empty()) return;
    if (broken && !out.empty() && out.back() != ' ' && piece.front() != ' ') out.push_back(' ');
    broken = false;
    out.append(piece);
  };
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t run = at;
    while (run < text.size() && !endsPlainRun(text[run])) ++run;
    keep(text.substr(at, run - at));
    at = run;
    if (at == text.size()) break;
    if (text[at] == '\t') {
      broken = true;
      ++at;
    } else if (text[at] == '<') {
      const bool isBreak = text.substr(at, kBreak.size()) == kBreak;
      if (isBreak) {
        broken = true;
      } else {
        keep("<");
      }
      at += isBreak ? kBreak.size() : 1;
    } else {
      const auto sequence = text::utf8SequenceAt(text, at);
      const std::size_t length = sequence ? sequence->length : 1;
      const auto byte = length > 1 ? text::cp1252Byte(sequence->codePoint) : std::nullopt;
      const char repaired = byte ? static_cast<char>(*byte) : '\0';
      keep(byte ? std::string_view(&repaired, 1) : text.substr(at, length));
      at += length;
    }
  }
  return out;
}

}  // namespace kf::search
