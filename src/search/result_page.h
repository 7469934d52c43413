#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/controls.h"

namespace kf::search {

// One saved result page as the parser reads it: the texts of the raw-line list, taken once when
// the parse starts, lower-cased once, with an index of the description markers. A page of a few
// hundred entries would otherwise be lower-cased and searched in full once per entry.
class ResultPage {
 public:
  // Takes the "Zeile" texts of `lstFile`; a row without one counts as an empty line.
  explicit ResultPage(const ui::ListView &lstFile);
  ResultPage(const ResultPage &) = delete;
  ResultPage &operator=(const ResultPage &) = delete;

  std::ptrdiff_t rowCount() const { return static_cast<std::ptrdiff_t>(rows_.size()); }
  // The text of row r, 1-based.
  const std::string &row(std::ptrdiff_t r) const { return rows_[static_cast<std::size_t>(r - 1)]; }

  // The first row whose text holds "desc" + videoId anywhere, letter case ignored, or 0 when no
  // row does. Any row counts, wherever the entry itself stands, and a longer id after "desc"
  // matches too: "abc" is found in a row holding "DescAbcdef".
  std::ptrdiff_t descriptionMarkerRow(std::string_view videoId) const;

 private:
  struct Marker {
    std::ptrdiff_t row;
    std::size_t idStart;  // the position right after "desc" in the lower-cased row
  };
  using FirstRowByText = std::unordered_map<std::string_view, std::ptrdiff_t>;

  const FirstRowByText &indexFor(std::size_t idLength) const;

  std::vector<std::string> rows_;
  std::vector<std::string> lowered_;
  std::vector<Marker> markers_;  // every "desc" of the page, in page order
  // For each id length asked for: the text of that length after each marker, with the first row
  // it follows a marker in. Built on first use; pages of one site have ids of one length.
  mutable std::unordered_map<std::size_t, FirstRowByText> byIdLength_;
};

}  // namespace kf::search
