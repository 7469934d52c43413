#pragma once
#include <functional>

#include "search/page_lines.h"
#include "store/settings.h"
#include "video/video_list.h"

namespace kf::search {

// What loading and parsing a result page work on: the page lines they fill and read, the results
// they extend, and the settings that say how text is cleaned.
struct ResultModels {
  PageLines &pageLines;
  video::VideoList &results;
  const store::Settings &settings;
  // Called once for every video marker, so that a long page neither freezes the window nor keeps
  // the abort command from being clicked.
  std::function<void()> afterMarker;
};

}  // namespace kf::search
