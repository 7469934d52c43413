#include "search/clean_text.h"

#include "platform/text/cp1252.h"

namespace kf::search {

std::string CleanText(std::string_view text, const store::Settings &settings) {
  if (!settings.cleartxt) return std::string(text);
  // Each replacement works on the result of the one before, in this order.
  std::string out = text::replaceAll(text, text::cp1252(u8"Ã¶"), text::cp1252(u8"ö"));
  out = text::replaceAll(out, text::cp1252(u8"Ã¤"), text::cp1252(u8"ä"));
  out = text::replaceAll(out, text::cp1252(u8"Ã¼"), text::cp1252(u8"ü"));
  out = text::replaceAll(out, "<br/>", "");
  return text::replaceAll(out, "\t", "");
}

}  // namespace kf::search
