#pragma once
// Where each video's title stands in the alphabet, kept in memory and made anew after a scan that
// changed the catalogue, so that ordering thousands of matches by title costs no reading of theirs.
#include <cstdint>
#include <memory>
#include <vector>

#include "site/library/store.h"

namespace kf::site::library {

class TitleOrder {
 public:
  static std::shared_ptr<const TitleOrder> of(Store &store);

  // Rows made after the order come after every row it knows.
  std::uint32_t rank(std::int64_t rowid) const {
    return rowid >= 0 && static_cast<std::uint64_t>(rowid) < ranks_.size() ? ranks_[static_cast<std::size_t>(rowid)]
                                                                           : UINT32_MAX;
  }

 private:
  std::vector<std::uint32_t> ranks_;  // by rowid
};

// The page of a search: the matches whose titles hold every word first, then the others, each by
// title; `inTitle` and `all` are rowids in rising order, as the index gives them.
std::vector<std::int64_t> rankedPage(const std::vector<std::int64_t> &all, const std::vector<std::int64_t> &inTitle,
                                     const TitleOrder &order, std::size_t first, std::size_t count);

}  // namespace kf::site::library
