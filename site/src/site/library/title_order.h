#pragma once
// Where each video stands in the alphabet, by its title and by its folder, kept in memory and made
// anew after a scan that changed the catalogue, so that ordering thousands of matches costs no
// reading of theirs.
#include <cstdint>
#include <memory>
#include <vector>

#include "site/library/store.h"

namespace kf::site::library {

class TitleOrder {
 public:
  static std::shared_ptr<const TitleOrder> of(Store &store);

  // Rows made after the order come after every row it knows.
  std::uint32_t rank(std::int64_t rowid) const { return rankIn(byTitle_, rowid); }
  // By the folder's names, then by title.
  std::uint32_t folderRank(std::int64_t rowid) const { return rankIn(byFolder_, rowid); }

 private:
  static std::uint32_t rankIn(const std::vector<std::uint32_t> &ranks, std::int64_t rowid) {
    return rowid >= 0 && static_cast<std::uint64_t>(rowid) < ranks.size() ? ranks[static_cast<std::size_t>(rowid)]
                                                                          : UINT32_MAX;
  }

  std::vector<std::uint32_t> byTitle_;  // by rowid
  std::vector<std::uint32_t> byFolder_;
};

// The page of a search: the matches whose titles hold every word first, then the others, each by
// title; `inTitle` and `all` are rowids in rising order, as the index gives them.
std::vector<std::int64_t> rankedPage(const std::vector<std::int64_t> &all, const std::vector<std::int64_t> &inTitle,
                                     const TitleOrder &order, std::size_t first, std::size_t count);

// A page of every video, by folder and title.
std::vector<std::int64_t> folderPage(const std::vector<std::int64_t> &all, const TitleOrder &order, std::size_t first,
                                     std::size_t count);

}  // namespace kf::site::library
