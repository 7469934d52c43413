#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kf::search {

// One saved result page as the parser reads it: its page lines, taken once when
// the parse starts, with an index of the description markers, whose rows are lower-cased once. A
// page of a few hundred entries would otherwise be lower-cased and searched in full once per entry.
class ResultPage {
 public:
  // The longest id a video may have: the watch page takes no longer one.
  static constexpr std::size_t kLongestVideoId = 64;

  explicit ResultPage(const std::vector<std::string> &lines);
  ResultPage(const ResultPage &) = delete;
  ResultPage &operator=(const ResultPage &) = delete;

  std::ptrdiff_t rowCount() const { return static_cast<std::ptrdiff_t>(rowStarts_.size()) - 1; }
  // The text of row `number`, 1-based.
  std::string_view row(std::ptrdiff_t number) const {
    const auto at = static_cast<std::size_t>(number - 1);
    return std::string_view(text_).substr(rowStarts_[at], rowStarts_[at + 1] - rowStarts_[at]);
  }

  // The first row whose text holds "desc" + videoId anywhere, letter case ignored, or 0 when no
  // row does. Any row counts, wherever the entry itself stands, and a longer id after "desc"
  // matches too: "abc" is found in a row holding "DescAbcdef". An id longer than kLongestVideoId
  // is never found.
  std::ptrdiff_t descriptionMarkerRow(std::string_view videoId) const;

 private:
  struct Marker {
    std::uint64_t head;  // the first 8 characters of idAfter(), as one number that sorts as they do
    std::uint32_t row;
    std::uint32_t idStart;  // the position right after "desc" in the row
  };

  // The text after a marker, as far as an id can reach.
  std::string_view idAfter(const Marker &marker) const;
  // The smallest row under a node of a tree over markers_: node markers_.size() + i is marker i
  // alone, and each node i below that holds the smaller row of nodes 2i and 2i + 1.
  std::uint32_t firstRowOf(std::size_t node) const;
  // The first row among markers_[from, to).
  std::uint32_t firstRowAmong(std::size_t from, std::size_t to) const;

  // Every row's text, one after the other: row r starts at rowStarts_[r - 1] and ends where the next
  // one starts. One block, as a page has thousands of short rows.
  std::string text_;
  std::vector<std::size_t> rowStarts_;
  // The lower-cased text of the rows that hold a marker, one after the other; the copy of row r
  // starts at loweredStarts_[r - 1]. Other rows are never compared, so they are not copied.
  std::string lowered_;
  std::vector<std::size_t> loweredStarts_;
  // Every "desc" of the page, ordered by the text after it, so that the markers followed by one id
  // lie side by side whatever the id's length. Built once; its size follows the page's.
  std::vector<Marker> markers_;
  // firstRowOf() of the nodes below markers_.size(), which hold more than one marker.
  std::vector<std::uint32_t> firstRows_;
};

}  // namespace kf::search
