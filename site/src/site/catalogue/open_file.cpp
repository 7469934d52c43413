#include "site/catalogue/open_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kf::site {

std::shared_ptr<const OpenFile> OpenFile::open(const std::filesystem::path &path) {
  // Not blocking: a pipe put where a video was must not hold the request.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const std::int64_t mtime = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return std::shared_ptr<const OpenFile>(new OpenFile(fd, static_cast<std::uint64_t>(info.st_size), mtime));
}

OpenFile::~OpenFile() {
  ::close(fd_);
}

bool OpenFile::read(std::uint64_t offset, std::size_t length, std::string &out) const {
  out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, offset < size_ ? size_ - offset : 0)));
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::filesystem::path OpenFile::realPath() const {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd_), error);
}

std::filesystem::path OpenFile::procPath() const {
  return "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(fd_);
}

}  // namespace kf::site
