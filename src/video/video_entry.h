#pragma once
#include <string>
#include <string_view>

namespace kf::video {

// One video as a result page lists it. The parser makes it, the favourites keep it, and the commands
// on "the selected video" read it; no field is empty in an entry the parser made.
struct VideoEntry {
  std::string Title;
  std::string VideoId;
  std::string PictureUrl;
  std::string Description;
  std::string Duration;

  bool operator==(const VideoEntry &) const = default;
};

// Two video ids name the same video when they are equal ignoring letter case.
bool sameVideo(std::string_view videoId, std::string_view otherId);

}  // namespace kf::video
