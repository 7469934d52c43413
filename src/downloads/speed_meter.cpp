#include "downloads/speed_meter.h"

namespace kf::downloads {
namespace {

constexpr auto kWindow = std::chrono::seconds(4);

}  // namespace

void SpeedMeter::add(Clock::time_point at, std::uint64_t bytes) {
  if (!samples_.empty() && (bytes < samples_.back().bytes || at < samples_.back().at)) samples_.clear();
  samples_.push_back({at, bytes});
  // One sample older than the window stays, so that the window is always spanned once it can be.
  while (samples_.size() > 2 && at - samples_[1].at >= kWindow) samples_.pop_front();
}

std::optional<double> SpeedMeter::bytesPerSecond() const {
  if (samples_.size() < 2) return std::nullopt;
  const std::chrono::duration<double> span = samples_.back().at - samples_.front().at;
  if (span < std::chrono::seconds(1)) return std::nullopt;
  return static_cast<double>(samples_.back().bytes - samples_.front().bytes) / span.count();
}

}  // namespace kf::downloads
