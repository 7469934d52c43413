#pragma once
// How the video window gets to see a file: as it is, or through a stream the site makes of it with
// only the sound converted, only the container changed, or the picture converted. The words travel
// from the worker to the catalogue, which keeps them.
#include <string>
#include <string_view>

struct AVFormatContext;

namespace kf::site::worker {

namespace play_way {
inline constexpr std::string_view kAsItIs = "as-is";
inline constexpr std::string_view kSound = "sound";          // picture copied, sound converted
inline constexpr std::string_view kContainer = "container";  // picture and sound copied into a new container
inline constexpr std::string_view kPicture = "picture";      // picture (and sound) converted
inline constexpr std::string_view kCannot = "cannot";
}  // namespace play_way

struct PlayChoice {
  std::string_view way;
  std::string reason;  // German, when the way is kCannot
};

// The choice for an opened file; `path` for its extension (a QuickTime .mov is not an MP4 to the
// engine, though FFmpeg reads both alike).
PlayChoice choosePlayWay(const AVFormatContext *input, const std::string &path);

}  // namespace kf::site::worker
