#include "search/parse_entry.h"

#include <array>
#include <optional>
#include <string_view>

#include "platform/base/cp1252.h"

namespace kf::search {
namespace {

// Every field is cut here, where it enters the program: no one reads more of a title or a
// description, and a page must not make the lists and windows carry megabytes per row.
constexpr std::size_t kLongestField = 1000;

// Positions here are 1-based and signed: the bounds below are the site's page grammar, and some of
// them fall below the start position on short lines, where the search then finds nothing.
using Pos = std::ptrdiff_t;

// The first position of `wanted` in `text` within from..to, or 0.
Pos firstOf(std::string_view text, char wanted, Pos from, Pos to) {
  if (from < 1 || from > to) return 0;
  const auto at = text.find(wanted, static_cast<std::size_t>(from - 1));
  if (at == std::string_view::npos || static_cast<Pos>(at) + 1 > to) return 0;
  return static_cast<Pos>(at) + 1;
}

std::string_view cut(std::string_view text, Pos from, Pos count) {
  return text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(count));
}

std::string_view field(std::string_view text) {
  return text.substr(0, kLongestField);
}

// Piece `index` (from 0) of `text` cut at every `separator`, or nothing when it has fewer pieces.
std::optional<std::string_view> piece(std::string_view text, char separator, int index) {
  std::size_t from = 0;
  for (int i = 0; i < index; ++i) {
    const auto at = text.find(separator, from);
    if (at == std::string_view::npos) return std::nullopt;
    from = at + 1;
  }
  return text.substr(from, text.find(separator, from) - from);
}

// Without the blanks at its ends; `text` itself when it has none, as an entry seldom has.
std::string trimmed(std::string text) {
  const std::string_view kept = text::blanksTrimmed(text);
  if (kept.size() == text.size()) return text;
  return std::string(kept);
}

// The entry in the joined text, its pieces cut at "|" taken by position; a piece it lacks is empty.
video::VideoEntry entryOf(std::string_view joined) {
  std::array<std::string, 5> pieces;
  for (std::string &piece : pieces) {
    const auto bar = joined.find('|');
    piece = joined.substr(0, bar);
    joined = bar == std::string_view::npos ? std::string_view() : joined.substr(bar + 1);
  }
  auto &[title, id, picture, description, duration] = pieces;
  return {std::move(title), std::move(id), std::move(picture), std::move(description), std::move(duration)};
}

}  // namespace

std::optional<video::VideoEntry> ParseEntry(std::string &line, const ResultPage &page) {
  line = trimmed(std::move(line));
  const Pos length = static_cast<Pos>(line.size());
  constexpr std::string_view kWatch = "/watch?v=";

  const auto marker = line.find(kWatch);
  if (marker == std::string::npos || static_cast<Pos>(marker) + 1 > length - 10) return {};
  const Pos idStart = static_cast<Pos>(marker) + 1 + static_cast<Pos>(kWatch.size());

  const Pos idEnd = firstOf(line, '"', idStart, length - idStart - 1);
  if (idEnd == 0) return {};
  const std::string_view id = cut(line, idStart, idEnd - idStart);
  // No video can be watched under a longer id, and its row would only carry a page's bulk.
  if (id.size() > ResultPage::kLongestVideoId) return {};

  const Pos openQuote = firstOf(line, '\'', idStart, length - idStart - 1);
  const Pos titleStart = openQuote == 0 ? idStart : openQuote + 1;
  const Pos closeQuote = firstOf(line, '\'', titleStart, length - titleStart - 2);
  // Without a closing quote the title runs to the id's end; when that lies before the title's
  // start there is no title.
  const Pos titleEnd = closeQuote == 0 ? idEnd : closeQuote;
  if (titleEnd <= titleStart) return {};
  const std::string_view title = field(cut(line, titleStart, titleEnd - titleStart));

  const auto picture = piece(line, '"', 5);
  if (id.empty() || !picture || picture->empty()) return {};

  // The description follows the marker row; the play time stands three rows above it.
  const Pos markerRow = page.descriptionMarkerRow(id);
  if (markerRow == 0 || markerRow + 1 > page.rowCount() || markerRow - 3 < 1) return {};
  const std::string_view description = field(text::blanksTrimmed(page.row(markerRow + 1)));
  const auto afterTag = piece(page.row(markerRow - 3), '>', 1);
  if (description.empty() || !afterTag) return {};
  const std::string_view duration = field(*piece(*afterTag, '<', 0));
  if (duration.empty()) return {};

  const std::string_view pictureField = field(*picture);
  // The fields are views into the line and the page: the joined text is the one copy made.
  std::string entry;
  entry.reserve(title.size() + id.size() + pictureField.size() + description.size() + duration.size() + 4);
  entry.append(title).append("|").append(id).append("|").append(pictureField);
  entry.append("|").append(description).append("|").append(duration);
  return entryOf(trimmed(std::move(entry)));
}

}  // namespace kf::search
