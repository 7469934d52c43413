#pragma once
// What FFmpeg's libraries read from one video file: its tags, play time and whether the video
// window plays it, and a preview picture. Run only inside the worker process, where a file that
// hangs or crashes a demuxer or decoder takes nothing else with it.
#include <chrono>
#include <optional>
#include <string>

namespace kf::site::worker {

struct Probe {
  std::string title, description, comment;  // the container's tags, as they are
  long long milliseconds = 0;
  std::string playWay;     // one of the words of play_way.h
  std::string cannotPlay;  // why not, in German, for the way "cannot"
};

// Empty when the file cannot be read as a video within `limit`.
std::optional<Probe> probeFile(const std::string &path, std::chrono::milliseconds limit);

// A JPEG `width` pixels wide of a frame near a tenth of the play time; empty when the file holds no
// frame that can be decoded within `limit`.
std::optional<std::string> previewPicture(const std::string &path, int width, std::chrono::milliseconds limit);

}  // namespace kf::site::worker
