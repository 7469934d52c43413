#pragma once
// An exclusive lock on a file, held while the object lives. The system releases it when the process
// ends, however it ends, so a killed program leaves no stale lock behind.
#include <optional>
#include <string>

namespace kf::instance {

class InstanceLock {
 public:
  // Takes the lock on `path`, creating the file when missing. Nothing when another process holds
  // it; throws kf::Error when the file cannot be opened.
  static std::optional<InstanceLock> tryTake(const std::string &path);

  InstanceLock(InstanceLock &&other) noexcept;
  InstanceLock &operator=(InstanceLock &&other) noexcept;
  InstanceLock(const InstanceLock &) = delete;
  InstanceLock &operator=(const InstanceLock &) = delete;
  ~InstanceLock();

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace kf::instance
