#include "site/library/catalogue_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "site/library/library_error.h"

namespace kf::site::library {
namespace {

constexpr std::size_t kMostNoted = 8192;

std::filesystem::path lockFileOf(const std::filesystem::path &database) {
  return database.string() + ".lock";
}

// What the holder wrote: its process id, its folder and, once it listens, its address, a line each.
struct Noted {
  std::string pid, folder, address;
};

Noted notedIn(int fd) {
  std::string text(kMostNoted, '\0');
  const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  Noted noted;
  std::string *field[] = {&noted.pid, &noted.folder, &noted.address};
  std::size_t at = 0;
  for (std::string *into : field) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    *into = text.substr(at, end - at);
    at = end + 1;
  }
  return noted;
}

void rewrite(int fd, const std::string &text) {
  if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size())) {
    return;
  }
  // The lock holds all the same; only what it tells another start is missing.
}

}  // namespace

CatalogueLock::CatalogueLock(const std::filesystem::path &database, const std::filesystem::path &folder)
    : folder_(folder.string()) {
  const std::filesystem::path file = lockFileOf(database);
  fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) {
    throw LibraryError("Die Sperre „" + file.string() +
                       "“ für den Katalog lässt sich nicht anlegen: " + systemMessage(errno));
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const Noted holder = notedIn(fd_);
    ::close(fd_);
    fd_ = -1;
    throw LibraryError("Auf dem Katalog „" + database.string() + "“ läuft schon eine klipfang-site" +
                       (holder.pid.empty() ? "" : " (Prozess " + holder.pid + ")") + " für den Ordner „" +
                       holder.folder + "“" + (holder.address.empty() ? "" : ", unter " + holder.address) +
                       ". Eine zweite für „" + folder_ + "“ startet nicht auf demselben Katalog.");
  }
  rewrite(fd_, std::to_string(::getpid()) + "\n" + folder_ + "\n");
}

CatalogueLock::~CatalogueLock() {
  if (fd_ >= 0) {
    rewrite(fd_, "");
    ::close(fd_);
  }
}

void CatalogueLock::announce(const std::string &address) {
  rewrite(fd_, std::to_string(::getpid()) + "\n" + folder_ + "\n" + address + "\n");
}

std::optional<std::string> CatalogueLock::runningAddress(const std::filesystem::path &database) {
  const int fd = ::open(lockFileOf(database).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  const Noted holder = held ? notedIn(fd) : Noted{};
  ::close(fd);
  if (holder.address.empty()) return std::nullopt;
  return holder.address;
}

}  // namespace kf::site::library
