#pragma once
#include "platform/ui/controls.h"
#include "store/settings.h"

namespace kf::search {

// What loading and parsing a result page work on: the raw-line list they fill and read, the result
// list they extend, the favourites that mark a row, the image list that holds the mark's picture.
struct ResultViews {
  ui::ListView &lstFile;
  ui::ListView &lstResult;
  const ui::ListView &lstFavs;
  const ui::ImageList &img;
  const store::Settings &settings;
};

}  // namespace kf::search
