#pragma once
// One downloads window per user: the first start of the helper claims it and listens for later
// starts, which hand it their address and end.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/os/instance/hand_over.h"
#include "platform/os/instance/instance_lock.h"

namespace kf::downloads {

class WindowClaim {
 public:
  // Hands `address` to the downloads window that is up and answers nothing; or, when none is up (or
  // the one up is closing and goes), the claim to show it. Where no runtime folder can be had, or the
  // window that is up neither takes the address nor ends, the claim is to a window of its own that
  // nobody can reach. Throws kf::Error when the lock fails for another reason than being held: no
  // window then.
  static std::optional<WindowClaim> claimOrHandOver(const std::string &address);

  // Listens for later starts; each address they hand over is offered to `onAddress` on the window
  // thread, which answers whether it took it. Null for a window nobody can reach.
  std::unique_ptr<instance::HandOverServer> listen(std::function<bool(const std::string &address)> onAddress);

 private:
  WindowClaim() = default;
  std::optional<instance::InstanceLock> lock_;
  std::string socketPath_;
};

}  // namespace kf::downloads
