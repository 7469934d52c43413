#include "platform/instance/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/error.h"
#include "platform/text/cp1252.h"

namespace kf::instance {

std::optional<InstanceLock> InstanceLock::tryTake(const std::string &path) {
  // Close-on-exec: a program started from here (the download helper) must not keep the lock alive
  // after this one has ended.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) {
    throw Error(errors::kPathFileAccess, text::cp1252(u8"Die Sperrdatei kann nicht geöffnet werden: ") + path + " (" +
                                             std::strerror(errno) + ")");
  }
  int taken = 0;
  do {
    taken = ::flock(fd.get(), LOCK_EX | LOCK_NB);
  } while (taken != 0 && errno == EINTR);
  if (taken != 0) return std::nullopt;
  return InstanceLock(std::move(fd));
}

}  // namespace kf::instance
