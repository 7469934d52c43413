#include "platform/fetch/part_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/fetch/file_name.h"

namespace kf::fetch {
namespace {

// How many numbered names are tried before the folder counts as full of this name.
constexpr int kMaxNumber = 9999;

[[noreturn]] void fail(const std::string &what, const std::string &path, int error) {
  throw SaveFailed(what + " " + path + ": " + std::strerror(error));
}

std::string inFolder(const std::string &folder, const std::string &name) {
  return folder + "/" + name;
}

// Moves `from` to `to` unless `to` exists, atomically; false when it exists.
bool moveWithoutReplacing(const std::string &from, const std::string &to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) fail("Umbenennen nicht möglich:", to, errno);
  // A file system without that rename: a hard link is just as exclusive.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    fail("Umbenennen nicht möglich:", to, errno);
  }
  ::unlink(from.c_str());
  return true;
}

}  // namespace

PartFile::PartFile(std::string folder, std::string name) : folder_(std::move(folder)), name_(std::move(name)) {
  for (int n = 0; n <= kMaxNumber; ++n) {
    const std::string candidate = inFolder(folder_, numberedName(name_, n) + ".part");
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
      partPath_ = candidate;
      return;
    }
    if (errno != EEXIST) fail("Anlegen nicht möglich:", candidate, errno);
  }
  fail("Anlegen nicht möglich:", inFolder(folder_, name_ + ".part"), EEXIST);
}

PartFile::~PartFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!finished_) ::unlink(partPath_.c_str());
}

void PartFile::write(const char *data, std::size_t count) {
  while (count > 0) {
    const ssize_t written = ::write(fd_, data, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("Schreiben nicht möglich:", partPath_, errno);
    }
    data += written;
    count -= static_cast<std::size_t>(written);
  }
}

std::string PartFile::finish() {
  if (::fsync(fd_) != 0) fail("Schreiben nicht möglich:", partPath_, errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail("Schreiben nicht möglich:", partPath_, errno);
  for (int n = 0; n <= kMaxNumber; ++n) {
    const std::string target = inFolder(folder_, numberedName(name_, n));
    if (moveWithoutReplacing(partPath_, target)) {
      finished_ = true;
      return target;
    }
  }
  fail("Umbenennen nicht möglich:", inFolder(folder_, name_), EEXIST);
}

}  // namespace kf::fetch
