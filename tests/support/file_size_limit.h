#pragma once
// Makes every write that would grow a file beyond `bytes` fail (EFBIG) while it lives. Tests run as
// root, where a read-only folder still takes new files; the file size limit binds root as well, so a
// save can be made to fail for real half-way through its write.
#include <sys/resource.h>

#include <csignal>
#include <stdexcept>

namespace kf::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) throw std::runtime_error("getrlimit failed");
    // Without this the kernel ends the process with SIGXFSZ instead of failing the write.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit &) = delete;
  FileSizeLimit &operator=(const FileSizeLimit &) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

}  // namespace kf::test
