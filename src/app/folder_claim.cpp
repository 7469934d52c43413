#include "app/folder_claim.h"

#include <chrono>

#include "platform/error.h"
#include "platform/files.h"

namespace kf::app {
namespace {

constexpr const char *kComeForward = "show";
// The holder listens a moment after it has taken the lock, and its listener answers off the window
// thread, so a live holder answers well within this even on a busy machine.
constexpr auto kHandOverTime = std::chrono::seconds(3);

}  // namespace

std::string handOverPathFor(const std::string &appDir) {
  return instance::socketPathFor("klipfang", appDir);
}

FolderClaim::Outcome FolderClaim::claim(const std::string &appDir, std::function<void()> comeForward) {
  lock_ = instance::InstanceLock::tryTake(files::join(files::join(appDir, "dat"), "klipfang.lock"));
  if (!lock_) {
    try {
      return instance::handOver(handOverPathFor(appDir), kComeForward, kHandOverTime) ? Outcome::HandedOver
                                                                                      : Outcome::Unreachable;
    } catch (const Error &) {
      return Outcome::Unreachable;  // no runtime folder: no way to reach the holder
    }
  }
  // Without a runtime folder the program still runs and keeps its folder to itself; only a later
  // start cannot bring it forward and says so instead.
  try {
    listener_ = std::make_unique<instance::HandOverServer>(
        handOverPathFor(appDir), [comeForward = std::move(comeForward)](const std::string &message) {
          if (message == kComeForward) comeForward();
        });
  } catch (const Error &) {
  }
  return Outcome::Ours;
}

}  // namespace kf::app
