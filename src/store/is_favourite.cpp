#include "store/is_favourite.h"

namespace kf::store {

bool IsFavourite(const video::VideoList &favourites, std::string_view videoId) {
  return favourites.find(videoId) != 0;
}

}  // namespace kf::store
