#pragma once
// An exclusive lock on a file, held while the object lives. The system releases it when the process
// ends, however it ends, so a killed program leaves no stale lock behind.
#include <optional>
#include <string>
#include <utility>

#include "platform/os/unique_fd.h"

namespace kf::instance {

class InstanceLock {
 public:
  // Takes the lock on `path`, creating the file when missing. Nothing when another process holds
  // it; throws kf::Error when the file cannot be opened or locked (a file system without locks).
  static std::optional<InstanceLock> tryTake(const std::string &path);

 private:
  explicit InstanceLock(UniqueFd fd) : fd_(std::move(fd)) {}
  UniqueFd fd_;
};

}  // namespace kf::instance
