#pragma once
// Windows-1252 is the program's text encoding: page text, files and list texts are held as bytes of
// this code page. Conversion to and from Unicode happens only at the edges (display, clipboard,
// typed text) and for the program's own texts, which are written in the source as UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kf::text {

// One Windows-1252 byte as a Unicode code point. The five bytes the code page leaves undefined map
// to the C1 control of the same value, so every byte survives a round trip.
char32_t toUnicode(unsigned char byte);

// A Unicode code point as its Windows-1252 byte, or nothing where the code page has no form for it.
std::optional<unsigned char> cp1252Byte(char32_t codePoint);
// The same with '?' for a code point without a form.
unsigned char fromUnicode(char32_t codePoint);

// One well-formed UTF-8 sequence: the character it encodes and its length in bytes.
struct Utf8Sequence {
  char32_t codePoint;
  std::size_t length;
};
// The sequence that starts at byte `at` of `text`, or nothing where none does: a continuation byte,
// a lead byte without all its continuation bytes, an overlong form, a surrogate or a code point
// beyond U+10FFFF. Plain ASCII is a sequence of one byte.
std::optional<Utf8Sequence> utf8SequenceAt(std::string_view text, std::size_t at);

std::u32string toUnicode(std::string_view cp1252);
std::string fromUnicode(std::u32string_view unicode);

// UTF-8 to Windows-1252; a character without a Windows-1252 form becomes '?', as does a broken
// UTF-8 sequence.
std::string fromUtf8(std::string_view utf8);
std::string toUtf8(std::string_view cp1252);

// The program's own texts: written once as UTF-8 literals, held as Windows-1252 bytes.
inline std::string cp1252(std::u8string_view utf8) {
  return fromUtf8(std::string_view(reinterpret_cast<const char *>(utf8.data()), utf8.size()));
}

// Lower and upper case of Windows-1252 text, accented letters included.
std::string lower(std::string_view cp1252);
std::string upper(std::string_view cp1252);

// Blanks (character 32 only, not tabs) removed at both ends.
std::string trimBlanks(std::string_view text);
// The same without a copy: the part of `text` between its blanks.
std::string_view blanksTrimmed(std::string_view text);

// Every occurrence of `what` replaced, left to right; the inserted text is not searched again.
std::string replaceAll(std::string_view text, std::string_view what, std::string_view with);

// Cut at every occurrence of the separator; an empty text gives one empty piece.
std::vector<std::string> split(std::string_view text, char separator);

}  // namespace kf::text
