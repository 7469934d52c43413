#include "site/library/title_order.h"

#include <algorithm>
#include <tuple>

namespace kf::site::library {

std::shared_ptr<const TitleOrder> TitleOrder::of(Store &store) {
  auto titles = store.titles();
  std::sort(titles.begin(), titles.end(),
            [](const auto &a, const auto &b) { return std::tie(a.second, a.first) < std::tie(b.second, b.first); });
  auto order = std::make_shared<TitleOrder>();
  std::int64_t last = 0;
  for (const auto &[rowid, title] : titles) last = std::max(last, rowid);
  order->ranks_.assign(static_cast<std::size_t>(last) + 1, UINT32_MAX);
  for (std::size_t i = 0; i < titles.size(); ++i)
    order->ranks_[static_cast<std::size_t>(titles[i].first)] = static_cast<std::uint32_t>(i);
  return order;
}

std::vector<std::int64_t> rankedPage(const std::vector<std::int64_t> &all, const std::vector<std::int64_t> &inTitle,
                                     const TitleOrder &order, std::size_t first, std::size_t count) {
  struct Key {
    bool onlyElsewhere;
    std::uint32_t rank;
    std::int64_t rowid;
    bool operator<(const Key &other) const {
      return std::tie(onlyElsewhere, rank, rowid) < std::tie(other.onlyElsewhere, other.rank, other.rowid);
    }
  };
  std::vector<Key> keys;
  keys.reserve(all.size());
  auto title = inTitle.begin();
  for (const std::int64_t rowid : all) {
    title = std::lower_bound(title, inTitle.end(), rowid);
    keys.push_back({title == inTitle.end() || *title != rowid, order.rank(rowid), rowid});
  }
  if (first >= keys.size()) return {};
  const auto end = keys.begin() + static_cast<long>(std::min(keys.size(), first + count));
  std::partial_sort(keys.begin(), end, keys.end());
  std::vector<std::int64_t> page;
  for (auto it = keys.begin() + static_cast<long>(first); it != end; ++it) page.push_back(it->rowid);
  return page;
}

}  // namespace kf::site::library
