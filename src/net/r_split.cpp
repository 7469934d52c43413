#include "net/r_split.h"

#include "platform/base/cp1252.h"

namespace kf::net {

namespace {

// A search that begins at or beyond the end of the text finds nothing, not even an empty marker.
std::size_t findFrom(const std::string &text, const std::string &what, std::size_t from) {
  if (from >= text.size()) return std::string::npos;
  return text.find(what, from);
}

std::string cut(const std::string &source, const std::string &before, const std::string &after,
                std::int16_t occurrence) {
  if (occurrence < 1) return {};
  std::size_t start = 0;
  for (std::int16_t found = 0; found < occurrence; ++found) {
    const std::size_t at = findFrom(source, before, start);
    if (at == std::string::npos) return {};
    start = at + before.size();
  }
  const std::size_t end = findFrom(source, after, start);
  if (end == std::string::npos || end == start) return {};
  return source.substr(start, end - start);
}

}  // namespace

std::string rGetString(const std::string &source, const std::string &before, const std::string &after,
                       std::int16_t occurrence, bool caseSensitive) {
  if (caseSensitive) return cut(source, before, after, occurrence);
  return cut(text::lower(source), text::lower(before), text::lower(after), occurrence);
}

}  // namespace kf::net
