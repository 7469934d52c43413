#pragma once
// The four user settings. They live in memory for the whole run; only loading the settings file and
// the settings window's save button change them.
#include <cstdint>

namespace kf::store {

// The most result pages a search may fetch; the settings window offers 1 to this many.
constexpr int kMostResultPages = 20;

struct Settings {
  std::int16_t respages = 0;  // result pages per search
  bool cleartxt = false;      // repair umlauts, drop line-break tags and tabs in page texts
  bool preview = false;       // fetch and show the preview picture of a selected result
  bool infront = false;       // keep the video window above all others

  friend bool operator==(const Settings &, const Settings &) = default;
};

}  // namespace kf::store
