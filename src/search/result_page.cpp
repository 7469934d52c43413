#include "search/result_page.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "platform/base/cp1252.h"

namespace kf::search {
namespace {

constexpr std::string_view kMarker = "desc";

// The first 8 characters of a text as one number that sorts as they do. Characters past the text's
// end count as 0, which sorts before any character, as the shorter text does.
std::uint64_t headOf(std::string_view text) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < sizeof head; ++i)
    head = head << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
  return head;
}

// Setting bit 0x20 turns 'D' into 'd', keeps 'd', and turns no other byte into 'd'; the same holds
// for 'e', 's' and 'c'. So a byte with the bit set equals a letter of "desc" exactly when it is that
// letter in either case. Lower-casing maps no other character of the code page to an ASCII letter:
// these are the places where the lower-cased text holds "desc".
constexpr char kCaseBit = 0x20;

bool isMarker(std::string_view four) {
  for (std::size_t i = 0; i < kMarker.size(); ++i) {
    if ((four[i] | kCaseBit) != kMarker[i]) return false;
  }
  return true;
}

// The first position from `from` on that holds a 'd' in either case, or npos. A page has a 'd' every
// few dozen bytes: it is looked for eight bytes at a time, without a call for each one.
std::size_t findFirstLetter(std::string_view text, std::size_t from) {
  static_assert(std::endian::native == std::endian::little, "the first byte found is the lowest");
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  constexpr std::uint64_t kFold = kOnes * static_cast<unsigned char>(kCaseBit);
  constexpr std::uint64_t kLetter = kOnes * static_cast<unsigned char>(kMarker[0]);
  for (; from + sizeof kOnes <= text.size(); from += sizeof kOnes) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + from, sizeof word);
    // Zero exactly where a byte is the letter; the lowest flag marks the first zero byte.
    const std::uint64_t differs = (word | kFold) ^ kLetter;
    const std::uint64_t zeros = (differs - kOnes) & ~differs & kHighBits;
    if (zeros != 0) return from + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
  }
  for (; from < text.size(); ++from) {
    if ((text[from] | kCaseBit) == kMarker[0]) return from;
  }
  return std::string_view::npos;
}

// The position of the first "desc" in any letter case from `from` on, or npos.
std::size_t findMarker(std::string_view text, std::size_t from) {
  for (std::size_t at = findFirstLetter(text, from); at != std::string_view::npos && text.size() - at >= kMarker.size();
       at = findFirstLetter(text, at + 1)) {
    if (isMarker(text.substr(at, kMarker.size()))) return at;
  }
  return std::string_view::npos;
}

}  // namespace

ResultPage::ResultPage(const std::vector<std::string> &lines) {
  std::size_t size = 0;
  for (const std::string &line : lines) size += line.size();
  text_.reserve(size);
  rowStarts_.reserve(lines.size() + 1);
  loweredStarts_.resize(lines.size());
  rowStarts_.push_back(0);
  for (const std::string &line : lines) {
    text_.append(line);
    rowStarts_.push_back(text_.size());
  }
  // The page is searched whole, not row by row: most rows hold no marker, and a search has its cost
  // per call. A marker that would run into the next row is none.
  std::size_t row = 0;
  std::size_t lastLowered = std::string::npos;
  for (std::size_t at = findMarker(text_, 0); at != std::string::npos; at = findMarker(text_, at + 1)) {
    while (rowStarts_[row + 1] <= at) ++row;
    if (at + kMarker.size() > rowStarts_[row + 1]) continue;
    if (row != lastLowered) {
      loweredStarts_[row] = lowered_.size();
      lowered_ += text::lower(this->row(static_cast<std::ptrdiff_t>(row) + 1));
      lastLowered = row;
    }
    Marker marker{0, static_cast<std::uint32_t>(row + 1),
                  static_cast<std::uint32_t>(at - rowStarts_[row] + kMarker.size())};
    marker.head = headOf(idAfter(marker));
    markers_.push_back(marker);
  }
  // Most markers differ in their first characters: those are compared as one number, without
  // reaching into the rows.
  std::sort(markers_.begin(), markers_.end(), [this](const Marker &a, const Marker &b) {
    return a.head != b.head ? a.head < b.head : idAfter(a) < idAfter(b);
  });
  const std::size_t markerCount = markers_.size();
  firstRows_.resize(markerCount);
  for (std::size_t node = markerCount; node-- > 1;)
    firstRows_[node] = std::min(firstRowOf(2 * node), firstRowOf(2 * node + 1));
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
