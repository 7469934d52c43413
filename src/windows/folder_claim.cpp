#include "windows/folder_claim.h"

#include <chrono>

#include "platform/base/error.h"
#include "platform/os/files.h"
#include "platform/ui/toolkit.h"

namespace kf::windows {
namespace {

constexpr const char *kComeForward = "show";
// The holder listens a moment after it has taken the lock, and its listener answers off the window
// thread, so a live holder answers well within this even on a busy machine.
constexpr auto kHandOverTime = std::chrono::seconds(3);

}  // namespace

std::string handOverPathFor(const std::string &appDir) {
  return instance::socketPathFor("klipfang", appDir);
}

FolderClaim::Outcome FolderClaim::claim(const std::string &appDir, std::function<bool()> comeForward) {
  // Without a runtime folder or a socket in it the program still runs and keeps its folder to
  // itself; only a later start cannot bring it forward and says so instead.
  std::string socketPath;
  try {
    socketPath = handOverPathFor(appDir);
  } catch (const Error &) {
  }
  instance::Claim claimed = instance::claimOrHandOver(files::join(files::join(appDir, "dat"), "klipfang.lock"),
                                                      socketPath, kComeForward, kHandOverTime);
  if (claimed.outcome != Outcome::Ours) return claimed.outcome;
  lock_ = std::move(claimed.lock);
  if (socketPath.empty()) return Outcome::Ours;
  try {
    listener_ = std::make_unique<instance::HandOverServer>(
        socketPath,
        [comeForward = std::move(comeForward)](const std::string &message) {
          return message == kComeForward && comeForward();
        },
        ui::toolkit().poster());
  } catch (const Error &) {
  }
  return Outcome::Ours;
}

}  // namespace kf::windows
