#include "windows/downloads/window_claim.h"

#include <chrono>

#include "platform/base/error.h"
#include "platform/os/instance/claim.h"
#include "platform/ui/toolkit.h"

namespace kf::downloads {
namespace {

constexpr const char *kName = "klipfang-downloads";
// The first start may still be setting up its window before it listens, and a closing one may take
// a moment to end.
constexpr auto kHandOverTime = std::chrono::seconds(10);

}  // namespace

std::optional<WindowClaim> WindowClaim::claimOrHandOver(const std::string &address) {
  WindowClaim claim;
  std::string folder;
  std::string socketPath;
  try {
    folder = instance::runtimeFolder();
    socketPath = instance::socketPathFor(kName, folder);
  } catch (const Error &) {
    return claim;
  }
  instance::Claim claimed =
      instance::claimOrHandOver(folder + "/" + kName + ".lock", socketPath, address, kHandOverTime);
  if (claimed.outcome == instance::Claim::Outcome::HandedOver) return std::nullopt;
  if (claimed.outcome == instance::Claim::Outcome::Ours) {
    claim.lock_ = std::move(claimed.lock);
    claim.socketPath_ = socketPath;
  }
  return claim;
}

std::unique_ptr<instance::HandOverServer> WindowClaim::listen(std::function<bool(const std::string &)> onAddress) {
  if (!lock_) return nullptr;
  try {
    return std::make_unique<instance::HandOverServer>(socketPath_, std::move(onAddress), ui::toolkit().poster());
  } catch (const Error &) {
    // Let go, so that later starts open windows of their own instead of waiting for this one.
    lock_.reset();
    return nullptr;
  }
}

}  // namespace kf::downloads
