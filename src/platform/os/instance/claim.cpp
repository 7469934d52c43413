#include "platform/os/instance/claim.h"

#include <thread>

#include "platform/os/instance/hand_over.h"

namespace kf::instance {
namespace {

constexpr auto kRetry = std::chrono::milliseconds(50);

}  // namespace

Claim claimOrHandOver(const std::string &lockPath, const std::string &socketPath, const std::string &message,
                      std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (std::optional<InstanceLock> lock = InstanceLock::tryTake(lockPath))
      return {Claim::Outcome::Ours, std::move(lock)};
    // Said only right after the lock was found held.
    if (std::chrono::steady_clock::now() >= deadline) return {Claim::Outcome::Unreachable, std::nullopt};
    if (handOver(socketPath, message, std::chrono::milliseconds(0))) return {Claim::Outcome::HandedOver, std::nullopt};
    std::this_thread::sleep_for(kRetry);
  }
}

}  // namespace kf::instance
