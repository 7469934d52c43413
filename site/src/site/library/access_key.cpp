#include "site/library/access_key.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "site/library/library_error.h"

namespace kf::site::library {
namespace {

constexpr std::size_t kKeyBytes = 16;  // 128 bits, written as 32 hexadecimal digits

bool isKey(const std::string &text) {
  return text.size() == 2 * kKeyBytes &&
         std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The key in the file, when the file is the user's alone and holds one.
std::string keptKey(const std::filesystem::path &file, bool &readableByOthers) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat status {};
  std::string text(2 * kKeyBytes + 1, '\0');
  ssize_t got = -1;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    readableByOthers = (status.st_mode & (S_IRWXG | S_IRWXO)) != 0 || status.st_uid != ::geteuid();
    got = ::read(fd, text.data(), text.size());
  }
  ::close(fd);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return readableByOthers || !isKey(text) ? std::string() : text;
}

std::string randomKey() {
  unsigned char bytes[kKeyBytes];
  for (std::size_t got = 0; got < sizeof bytes;) {
    const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw LibraryError(std::string("Für den Zugangsschlüssel fehlt der Zufall: ") + systemMessage(errno));
    got += static_cast<std::size_t>(n);
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string key;
  for (const unsigned char byte : bytes) key += {kDigits[byte >> 4], kDigits[byte & 15]};
  return key;
}

// Written beside its place, readable by the user alone from the start, and renamed over the old one.
void keep(const std::filesystem::path &file, const std::string &key) {
  const std::string part = file.string() + ".part";
  ::unlink(part.c_str());
  const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  const std::string text = key + "\n";
  const bool written =
      fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (!written || ::rename(part.c_str(), file.c_str()) != 0) {
    ::unlink(part.c_str());
    throw LibraryError("Der Zugangsschlüssel lässt sich nicht in „" + file.string() +
                       "“ ablegen: " + systemMessage(written ? errno : error));
  }
}

}  // namespace

std::string accessKey(const std::filesystem::path &database, bool renew,
                      const std::function<void(const std::string &)> &log) {
  const std::filesystem::path file = database.string() + ".key";
  bool readableByOthers = false;
  if (!renew) {
    if (std::string key = keptKey(file, readableByOthers); !key.empty()) return key;
  }
  if (readableByOthers) log("Der Zugangsschlüssel in " + file.string() + " war nicht allein Ihrer; es gilt ein neuer.");
  std::string key = randomKey();
  keep(file, key);
  return key;
}

}  // namespace kf::site::library
