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

// Finds "desc" in any letter case, left to right. Lower-casing maps no other character of the code
// page to an ASCII letter, so these are the places where the lower-cased row holds "desc"; only a
// row that has one is lower-cased. The two first letters are looked for as the library looks for a
// character, so a row is not walked a byte at a time.
class MarkerFinder {
 public:
  explicit MarkerFinder(std::string_view row) : row_(row), small_(row.find('d')), capital_(row.find('D')) {}

  // The position of the next marker, or npos when there is none.
  std::size_t next() {
    for (;;) {
      const std::size_t at = std::min(small_, capital_);
      if (at == std::string_view::npos || row_.size() - at < kMarker.size()) return std::string_view::npos;
      std::size_t &found = at == small_ ? small_ : capital_;
      found = row_.find(row_[at], at + 1);
      if (isMarker(row_.substr(at, kMarker.size()))) return at;
    }
  }

 private:
  static bool isMarker(std::string_view four) {
    for (std::size_t k = 0; k < kMarker.size(); ++k) {
      if ((four[k] | 0x20) != kMarker[k]) return false;
    }
    return true;
  }

  std::string_view row_;
  std::size_t small_;
  std::size_t capital_;
};

}  // namespace

ResultPage::ResultPage(const ui::ListView &lstFile) {
  const auto textOf = [&lstFile](int r) -> std::string_view {
    const auto &subs = lstFile.item(r).subItems;
    return subs.empty() ? std::string_view() : std::string_view(subs.front().text);
  };
  std::size_t size = 0;
  for (int r = 1; r <= lstFile.count(); ++r) size += textOf(r).size();
  text_.reserve(size);
  rowStarts_.reserve(static_cast<std::size_t>(lstFile.count()) + 1);
  loweredStarts_.resize(static_cast<std::size_t>(lstFile.count()));
  rowStarts_.push_back(0);
  for (int r = 1; r <= lstFile.count(); ++r) {
    const std::string_view row = textOf(r);
    text_.append(row);
    rowStarts_.push_back(text_.size());
    MarkerFinder finder(row);
    std::size_t at = finder.next();
    if (at == std::string_view::npos) continue;
    loweredStarts_[static_cast<std::size_t>(r - 1)] = lowered_.size();
    lowered_ += text::lower(row);
    for (; at != std::string_view::npos; at = finder.next()) {
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
  const std::size_t row = marker.row - 1;
  const std::size_t length = rowStarts_[row + 1] - rowStarts_[row];
  return std::string_view(lowered_).substr(loweredStarts_[row] + marker.idStart,
                                           std::min(kLongestVideoId, length - marker.idStart));
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
