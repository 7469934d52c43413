#include "search/result_page.h"

#include <algorithm>
#include <limits>

#include "platform/text/cp1252.h"

namespace kf::search {
namespace {

constexpr std::string_view kMarker = "desc";

// The first 8 characters of a text as one number that sorts as they do. Characters past the text's
// end count as 0, which sorts before any character, as the shorter text does.
std::uint64_t headOf(std::string_view text) {
  std::uint64_t head = 0;
  for (std::size_t k = 0; k < sizeof head; ++k)
    head = head << 8 | (k < text.size() ? static_cast<unsigned char>(text[k]) : 0U);
  return head;
}

}  // namespace

ResultPage::ResultPage(const ui::ListView &lstFile) {
  rows_.reserve(static_cast<std::size_t>(lstFile.count()));
  lowered_.reserve(rows_.capacity());
  for (int r = 1; r <= lstFile.count(); ++r) {
    const auto &subs = lstFile.item(r).subItems;
    rows_.push_back(subs.empty() ? std::string() : subs.front().text);
    lowered_.push_back(text::lower(rows_.back()));
    const std::string &low = lowered_.back();
    for (auto at = low.find(kMarker); at != std::string::npos; at = low.find(kMarker, at + 1)) {
      Marker marker{0, static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(at + kMarker.size())};
      marker.head = headOf(idAfter(marker));
      markers_.push_back(marker);
    }
  }
  // Most markers differ in their first characters: those are compared as one number, without
  // reaching into the rows.
  std::sort(markers_.begin(), markers_.end(), [this](const Marker &a, const Marker &b) {
    return a.head != b.head ? a.head < b.head : idAfter(a) < idAfter(b);
  });
  const std::size_t n = markers_.size();
  firstRows_.resize(n);
  for (std::size_t node = n; node-- > 1;) firstRows_[node] = std::min(firstRowOf(2 * node), firstRowOf(2 * node + 1));
}

std::string_view ResultPage::idAfter(const Marker &marker) const {
  return std::string_view(lowered_[marker.row - 1]).substr(marker.idStart, kLongestVideoId);
}

std::uint32_t ResultPage::firstRowOf(std::size_t node) const {
  return node < markers_.size() ? firstRows_[node] : markers_[node - markers_.size()].row;
}

std::uint32_t ResultPage::firstRowAmong(std::size_t from, std::size_t to) const {
  std::uint32_t first = std::numeric_limits<std::uint32_t>::max();
  for (from += markers_.size(), to += markers_.size(); from < to; from /= 2, to /= 2) {
    if (from % 2 == 1) first = std::min(first, firstRowOf(from++));
    if (to % 2 == 1) first = std::min(first, firstRowOf(--to));
  }
  return first;
}

std::ptrdiff_t ResultPage::descriptionMarkerRow(std::string_view videoId) const {
  const std::string wanted = text::lower(videoId);
  if (wanted.size() > kLongestVideoId) return 0;
  // The markers followed by the id are those whose text, cut to the id's length, equals it.
  const auto start = [&](const Marker &marker) { return idAfter(marker).substr(0, wanted.size()); };
  const auto from = std::partition_point(markers_.begin(), markers_.end(),
                                         [&](const Marker &marker) { return start(marker) < wanted; });
  const auto to =
      std::partition_point(from, markers_.end(), [&](const Marker &marker) { return start(marker) == wanted; });
  if (from == to) return 0;
  return firstRowAmong(static_cast<std::size_t>(from - markers_.begin()),
                       static_cast<std::size_t>(to - markers_.begin()));
}

}  // namespace kf::search
