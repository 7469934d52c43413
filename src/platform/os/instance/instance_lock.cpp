#include "platform/os/instance/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/base/system_message.h"

namespace kf::instance {
namespace {

// The failure `errno` tells, with the system's reason.
Error lockFileError(std::u8string_view what, const std::string &path) {
  return {errors::kPathFileAccess, text::cp1252(what) + path + " (" + systemMessage(errno) + ")"};
}

}  // namespace

std::optional<InstanceLock> InstanceLock::tryTake(const std::string &path) {
  // Close-on-exec: a program started from here (the download helper) must not keep the lock alive
  // after this one has ended.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) throw lockFileError(u8"Die Sperrdatei kann nicht geöffnet werden: ", path);
  int taken = 0;
  do {
    taken = ::flock(fd.get(), LOCK_EX | LOCK_NB);
  } while (taken != 0 && errno == EINTR);
  if (taken == 0) return InstanceLock(std::move(fd));
  // Only another's lock means another program runs; any other failure says nothing of that.
  if (errno == EWOULDBLOCK) return std::nullopt;
  throw lockFileError(u8"Die Sperrdatei kann nicht gesperrt werden: ", path);
}

}  // namespace kf::instance
