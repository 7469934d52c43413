#pragma once
// One running program per program folder. Two programs on one folder would each read the settings
// and favourites at start and write them at close, the one closed last wiping out what the other
// kept, and would write their result pages and pictures over each other's. The first start holds a
// lock on the folder for its life and listens for later starts, which ask it to come to the front
// and end.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/os/instance/claim.h"
#include "platform/os/instance/hand_over.h"

namespace kf::windows {

// The socket through which later starts on `appDir` reach the program that holds it.
std::string handOverPathFor(const std::string &appDir);

class FolderClaim {
 public:
  // Ours: this program holds the folder; HandedOver: another holds it and has come to the front;
  // Unreachable: another holds it and does not come.
  using Outcome = instance::Claim::Outcome;

  // Takes the lock in `appDir`/dat (which must exist); while it is held, every later start makes
  // `comeForward` run on the window thread, which answers whether the window came (a window that is
  // not up, or closing, does not). Throws kf::Error when the lock file cannot be opened or locked.
  Outcome claim(const std::string &appDir, std::function<bool()> comeForward);

 private:
  std::optional<instance::InstanceLock> lock_;
  std::unique_ptr<instance::HandOverServer> listener_;
};

}  // namespace kf::windows
