#include "search/clean_text.h"

#include "platform/text/cp1252.h"

namespace kf::search {
namespace {

// The site writes UTF-8, and its pages are read as Windows-1252 bytes, so a character beyond ASCII
// arrives as two to four characters. Each such sequence that the code page can hold becomes its
// one character again; anything else stays byte for byte, so nothing the site sent is lost.
std::string asTheSiteWroteIt(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto sequence = text::utf8SequenceAt(text, at);
    const std::size_t length = sequence ? sequence->length : 1;
    const auto byte = length > 1 ? text::cp1252Byte(sequence->codePoint) : std::nullopt;
    if (byte) {
      out.push_back(static_cast<char>(*byte));
    } else {
      out.append(text.substr(at, length));
    }
    at += length;
  }
  return out;
}

}  // namespace

std::string CleanText(std::string_view text, const store::Settings &settings) {
  if (!settings.cleartxt) return std::string(text);
  // Each step works on the result of the one before: a sequence split by a break tag stays split.
  const std::string out = text::replaceAll(asTheSiteWroteIt(text), "<br/>", "");
  return text::replaceAll(out, "\t", "");
}

}  // namespace kf::search
