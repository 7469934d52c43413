#include "store/is_favourite.h"

#include "platform/base/cp1252.h"

namespace kf::store {

bool sameVideo(const std::string &videoId, const std::string &otherId) {
  return text::lower(videoId) == text::lower(otherId);
}

int FindFavourite(const ui::ListView &lstFavs, const std::string &videoId) {
  for (int row = 1; row <= lstFavs.count(); ++row) {
    const auto &subs = lstFavs.item(row).subItems;
    if (subs.size() >= 2 && sameVideo(subs[1].text, videoId)) return row;
  }
  return 0;
}

bool IsFavourite(const ui::ListView &lstFavs, const std::string &videoId) {
  return FindFavourite(lstFavs, videoId) != 0;
}

}  // namespace kf::store
