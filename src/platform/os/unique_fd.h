#pragma once
// A file descriptor that closes with its owner, so no early return or exception leaks one.
#include <utility>

namespace kf {

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(UniqueFd &&other) noexcept : fd_(other.release()) {}
  UniqueFd &operator=(UniqueFd &&other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd &) = delete;
  UniqueFd &operator=(const UniqueFd &) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor held, if any, and holds `fd`.
  void reset(int fd = -1);

 private:
  int fd_;
};

}  // namespace kf
