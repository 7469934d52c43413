#include "fetch/window_claim.h"

#include <chrono>

#include "platform/error.h"

namespace kf::fetch {
namespace {

constexpr const char *kName = "klipfang-downloads";
// The first start may still be setting up its window before it listens.
constexpr auto kHandOverTime = std::chrono::seconds(10);
// A window that is closing lets go of its claim in a moment; a few rounds see it through.
constexpr int kRounds = 3;

}  // namespace

std::optional<WindowClaim> WindowClaim::claimOrHandOver(const std::string &address) {
  WindowClaim claim;
  std::string lockPath;
  try {
    const std::string folder = instance::runtimeFolder();
    lockPath = folder + "/" + kName + ".lock";
    claim.socketPath_ = instance::socketPathFor(kName, folder);
  } catch (const Error &) {
    return claim;
  }
  for (int round = 0; round < kRounds; ++round) {
    try {
      claim.lock_ = instance::InstanceLock::tryTake(lockPath);
    } catch (const Error &) {
      claim.socketPath_.clear();
      return claim;
    }
    if (claim.lock_) return claim;
    if (instance::handOver(claim.socketPath_, address, kHandOverTime)) return std::nullopt;
  }
  claim.socketPath_.clear();
  return claim;
}

std::unique_ptr<instance::HandOverServer> WindowClaim::listen(std::function<void(const std::string &)> onAddress) {
  if (!lock_) return nullptr;
  try {
    return std::make_unique<instance::HandOverServer>(socketPath_, std::move(onAddress));
  } catch (const Error &) {
    // Let go, so that later starts open windows of their own instead of waiting for this one.
    lock_.reset();
    return nullptr;
  }
}

}  // namespace kf::fetch
