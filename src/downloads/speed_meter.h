#pragma once
// How fast a download goes: the bytes that came over the last few seconds, so that a pause shows
// soon and a burst does not promise too much.
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

namespace kf::downloads {

class SpeedMeter {
 public:
  using Clock = std::chrono::steady_clock;

  // The bytes in hand at `at`. Fewer than before means the download started over.
  void add(Clock::time_point at, std::uint64_t bytes);
  void reset() { samples_.clear(); }
  // Nothing until the samples span a second.
  std::optional<double> bytesPerSecond() const;

 private:
  struct Sample {
    Clock::time_point at;
    std::uint64_t bytes;
  };
  std::deque<Sample> samples_;
};

}  // namespace kf::downloads
