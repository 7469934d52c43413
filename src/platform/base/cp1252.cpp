#include "platform/base/cp1252.h"

#include <array>

namespace kf::text {
namespace {

// 0x80..0x9F; the undefined bytes keep their C1 control value.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isUpperLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A || c == 0x8C || c == 0x8E;
}

bool isLowerLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || c == 0x9A || c == 0x9C || c == 0x9E;
}

}  // namespace

char32_t toUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

std::optional<unsigned char> cp1252Byte(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<unsigned char>(codePoint);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

unsigned char fromUnicode(char32_t codePoint) {
  return cp1252Byte(codePoint).value_or('?');
}

std::optional<Utf8Sequence> utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return Utf8Sequence{lead, 1};
  const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || text.size() - at < length) return std::nullopt;
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[at + k]);
    if ((c & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (c & 0x3F);
  }
  // The shortest form only: the smallest code point each length may carry.
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return Utf8Sequence{cp, length};
}

std::u32string toUnicode(std::string_view cp1252) {
  std::u32string out;
  out.reserve(cp1252.size());
  for (unsigned char c : cp1252) out.push_back(toUnicode(c));
  return out;
}

std::string fromUnicode(std::u32string_view unicode) {
  std::string out;
  out.reserve(unicode.size());
  for (char32_t cp : unicode) out.push_back(static_cast<char>(fromUnicode(cp)));
  return out;
}

std::string fromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto sequence = utf8SequenceAt(utf8, i);
    out.push_back(static_cast<char>(sequence ? fromUnicode(sequence->codePoint) : '?'));
    i += sequence ? sequence->length : 1;
  }
  return out;
}

std::string toUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (unsigned char c : cp1252) {
    const char32_t cp = toUnicode(c);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string lower(std::string_view cp1252) {
  std::string out(cp1252);
  for (char &ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0x9F) {
      ch = static_cast<char>(0xFF);
    } else if (isUpperLetter(c)) {
      ch = static_cast<char>(c <= 0x8E && c >= 0x8A ? c + 0x10 : c + 0x20);
    }
  }
  return out;
}

std::string upper(std::string_view cp1252) {
  std::string out(cp1252);
  for (char &ch : out) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0xFF) {
      ch = static_cast<char>(0x9F);
    } else if (isLowerLetter(c)) {
      ch = static_cast<char>(c >= 0x9A && c <= 0x9E ? c - 0x10 : c - 0x20);
    }
  }
  return out;
}

std::string trimBlanks(std::string_view text) {
  return std::string(blanksTrimmed(text));
}

std::string_view blanksTrimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string replaceAll(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
    out.append(text.substr(from, at - from)).append(with);
    from = at + what.size();
  }
  out.append(text.substr(from));
  return out;
}

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t from = 0;
  for (auto at = text.find(separator); at != std::string_view::npos; at = text.find(separator, from)) {
    pieces.emplace_back(text.substr(from, at - from));
    from = at + 1;
  }
  pieces.emplace_back(text.substr(from));
  return pieces;
}

}  // namespace kf::text
