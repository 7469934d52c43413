#include "site/library/title_order.h"

#include <algorithm>
#include <tuple>

namespace kf::site::library {
namespace {

struct Key {
  bool later;  // of the matches that come after the first ones
  std::uint32_t rank;
  std::int64_t rowid;
  bool operator<(const Key &other) const {
    return std::tie(later, rank, rowid) < std::tie(other.later, other.rank, other.rowid);
  }
};

// Only the keys of the page asked for are put in order.
std::vector<std::int64_t> page(std::vector<Key> keys, std::size_t first, std::size_t count) {
  if (first >= keys.size()) return {};
  const auto end = keys.begin() + static_cast<long>(std::min(keys.size(), first + count));
  std::partial_sort(keys.begin(), end, keys.end());
  std::vector<std::int64_t> rowids;
  for (auto it = keys.begin() + static_cast<long>(first); it != end; ++it) rowids.push_back(it->rowid);
  return rowids;
}

template <typename Before>
std::vector<std::uint32_t> ranks(std::vector<Store::Words> &words, Before before) {
  std::sort(words.begin(), words.end(), before);
  std::int64_t last = 0;
  for (const auto &each : words) last = std::max(last, each.rowid);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(last) + 1, UINT32_MAX);
  for (std::size_t i = 0; i < words.size(); ++i)
    out[static_cast<std::size_t>(words[i].rowid)] = static_cast<std::uint32_t>(i);
  return out;
}

}  // namespace

std::shared_ptr<const TitleOrder> TitleOrder::of(Store &store) {
  auto words = store.titles();
  auto order = std::make_shared<TitleOrder>();
  order->byTitle_ = ranks(words, [](const Store::Words &a, const Store::Words &b) {
    return std::tie(a.title, a.rowid) < std::tie(b.title, b.rowid);
  });
  order->byFolder_ = ranks(words, [](const Store::Words &a, const Store::Words &b) {
    return std::tie(a.folders, a.title, a.rowid) < std::tie(b.folders, b.title, b.rowid);
  });
  return order;
}

std::vector<std::int64_t> rankedPage(const std::vector<std::int64_t> &all, const std::vector<std::int64_t> &inTitle,
                                     const TitleOrder &order, std::size_t first, std::size_t count) {
  std::vector<Key> keys;
  keys.reserve(all.size());
  auto title = inTitle.begin();
  for (const std::int64_t rowid : all) {
    title = std::lower_bound(title, inTitle.end(), rowid);
    keys.push_back({title == inTitle.end() || *title != rowid, order.rank(rowid), rowid});
  }
  return page(std::move(keys), first, count);
}

std::vector<std::int64_t> folderPage(const std::vector<std::int64_t> &all, const TitleOrder &order, std::size_t first,
                                     std::size_t count) {
  std::vector<Key> keys;
  keys.reserve(all.size());
  for (const std::int64_t rowid : all) keys.push_back({false, order.folderRank(rowid), rowid});
  return page(std::move(keys), first, count);
}

}  // namespace kf::site::library
