#include "store/is_favourite.h"

#include "platform/text/cp1252.h"

namespace kf::store {

bool IsFavourite(const ui::ListView &lstFavs, const std::string &videoId) {
  const std::string wanted = text::lower(videoId);
  for (int row = 1; row <= lstFavs.count(); ++row) {
    const auto &subs = lstFavs.item(row).subItems;
    if (subs.size() >= 2 && text::lower(subs[1].text) == wanted) return true;
  }
  return false;
}

}  // namespace kf::store
