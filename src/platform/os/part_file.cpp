#include "platform/os/part_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/base/cp1252.h"
#include "platform/base/system_message.h"

namespace kf::files {
namespace {

// How many numbered names are tried before the folder counts as full of this name.
constexpr int kMaxNumber = 9999;

// `what` names the file where the user could not tell which it is from the download's row.
[[noreturn]] void fail(std::u8string_view what, const std::string &path, int error) {
  throw Error(error == ENOSPC ? errors::kDiskFull : errors::kPathFileAccess,
              text::cp1252(what) + (path.empty() ? "" : " " + text::fromUtf8(path)) + ": " + systemMessage(error));
}

std::string inFolder(const std::string &folder, const std::string &name) {
  return folder + "/" + name;
}

// Whether a name is taken: a link, also one that leads nowhere, takes it as a file does.
bool taken(const std::string &path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Moves `from` to `to` unless `to` exists, atomically; false when it exists.
bool moveWithoutReplacing(const std::string &from, const std::string &to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) fail(u8"Umbenennen nicht möglich:", to, errno);
  // A file system without that rename: a hard link is just as exclusive.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    fail(u8"Umbenennen nicht möglich:", to, errno);
  }
  ::unlink(from.c_str());
  return true;
}

}  // namespace

std::string numberedName(const std::string &name, int n) {
  if (n == 0) return name;
  const std::size_t dot = name.rfind('.');
  const std::size_t stemEnd = dot == std::string::npos || dot == 0 ? name.size() : dot;
  return name.substr(0, stemEnd) + " (" + std::to_string(n) + ")" + name.substr(stemEnd);
}

PartFile::PartFile(std::string folder, std::string name) : folder_(std::move(folder)), name_(std::move(name)) {
  for (int n = 0; n <= kMaxNumber; ++n) {
    const std::string numbered = numberedName(name_, n);
    if (taken(inFolder(folder_, numbered))) continue;
    const std::string candidate = inFolder(folder_, numbered + ".part");
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
      partPath_ = candidate;
      intendedName_ = numbered;
      number_ = n;
      return;
    }
    if (errno != EEXIST) fail(u8"Anlegen nicht möglich:", candidate, errno);
  }
  fail(u8"Anlegen nicht möglich:", inFolder(folder_, name_ + ".part"), EEXIST);
}

PartFile::~PartFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!finished_) ::unlink(partPath_.c_str());
}

void PartFile::append(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(u8"Schreiben nicht möglich", {}, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    size_ += static_cast<std::uint64_t>(written);
  }
}

void PartFile::restart() {
  if (::ftruncate(fd_, 0) != 0) fail(u8"Schreiben nicht möglich", {}, errno);
  size_ = 0;
}

std::string PartFile::finish() {
  if (::fsync(fd_) != 0) fail(u8"Schreiben nicht möglich", {}, errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(u8"Schreiben nicht möglich", {}, errno);
  for (int n = number_; n <= kMaxNumber; ++n) {
    std::string target = inFolder(folder_, numberedName(name_, n));
    if (moveWithoutReplacing(partPath_, target)) {
      finished_ = true;
      return target;
    }
  }
  fail(u8"Umbenennen nicht möglich:", inFolder(folder_, name_), EEXIST);
}

}  // namespace kf::files
