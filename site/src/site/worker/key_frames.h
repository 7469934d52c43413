#pragma once
// Where a file's picture may be cut without converting it: the times of its key frames, read once
// for the stream the site makes of it.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kf::site::worker {

struct KeyFrames {
  long long durationMicroseconds = 0;
  // From the file's start, rising; empty when only the play time was asked for.
  std::vector<long long> microseconds;
};

// From the container's index where it has one (MP4, Matroska, AVI), else from every packet of the
// picture. Empty when the file cannot be read within `limit`.
std::optional<KeyFrames> readKeyFrames(const std::string &path, bool withKeys, std::chrono::milliseconds limit);

}  // namespace kf::site::worker
