#include "platform/os/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/unique_fd.h"

namespace kf::files {
namespace {

[[noreturn]] void fail(const std::string &path) {
  throw fileError(errno, path);
}

void writeAll(int fd, std::string_view bytes, const std::string &path) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(path);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string joinLines(const std::vector<std::string> &lines) {
  std::string body;
  for (const auto &line : lines) body.append(line).append("\r\n");
  return body;
}

void closeChecked(UniqueFd &fd, const std::string &path) {
  if (::close(fd.release()) != 0) fail(path);
}

constexpr std::size_t kReadChunk = 64 * 1024;

// Opens a file for reading, refusing anything but a plain file: a folder, device or pipe in a file's
// place would fail later or block the reader for good.
int openRegular(const std::string &path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) fail(path);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) fail(path);
  if (!S_ISREG(st.st_mode)) throw fileError(EISDIR, path);
  return fd.release();
}

// The folder part of a path with its closing '/', or nothing for a bare name.
std::string folderOf(const std::string &path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a chain of symbolic links ends at: a save replaces that file and leaves the links, which
// the user set up to keep the file elsewhere.
std::string followLinks(const std::string &path) {
  std::string target = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0) fail(path);
    if (static_cast<std::size_t>(n) == link.size()) throw fileError(ENAMETOOLONG, path);
    link.resize(static_cast<std::size_t>(n));
    target = link.starts_with('/') ? link : folderOf(target) + link;
  }
  throw fileError(ELOOP, path);
}

// Giving a file away is root's right only (a save run as root keeps the user's file his); anyone
// else keeps at least the group where he belongs to it.
void keepOwner(int fd, const struct stat &st) {
  if (::fchown(fd, st.st_uid, st.st_gid) == 0) return;
  if (::fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0) return;
  // Neither: the file is the saver's, as any new file would be.
}

// A file the user made private stays private; a new file gets the mode every file of the program has.
void keepOwnerAndMode(int fd, const std::string &target, const std::string &path) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    if (::fchmod(fd, 0644) != 0) fail(path);
    return;
  }
  keepOwner(fd, st);
  // After the owner: changing it may clear the set-id bits.
  if (::fchmod(fd, st.st_mode & 07777) != 0) fail(path);
}

}  // namespace

std::string appDir() {
  std::string exe(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
  if (n <= 0) fail("/proc/self/exe");
  exe.resize(static_cast<std::size_t>(n));
  const auto slash = exe.rfind('/');
  return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

std::string join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

bool folderExists(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void createFolder(const std::string &path) {
  if (::mkdir(path.c_str(), 0755) != 0) fail(path);
}

LineReader::LineReader(const std::string &path, ReadLimits limits)
    : path_(path),
      limits_(limits),
      fd_(openRegular(path)),
      buffer_(std::make_unique_for_overwrite<char[]>(kReadChunk)) {}

LineReader::~LineReader() {
  ::close(fd_);
}

bool LineReader::fill() {
  if (bytesRead_ >= limits_.mostBytes) return false;
  const std::size_t wanted = std::min(kReadChunk, limits_.mostBytes - bytesRead_);
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.get(), wanted);
  } while (n < 0 && errno == EINTR);
  if (n < 0) fail(path_);
  next_ = 0;
  filled_ = static_cast<std::size_t>(n);
  bytesRead_ += filled_;
  return filled_ > 0;
}

bool LineReader::atEnd() {
  if (linesRead_ >= limits_.mostLines) return true;
  return next_ == filled_ && !fill();
}

std::string LineReader::readLine() {
  if (atEnd()) throw Error(errors::kInputPastEnd, text::cp1252(u8"Einlesen hinter Dateiende."));
  // One byte more than the longest line is kept, so that the CR of a line just that long is still
  // taken for its end.
  const std::size_t keep = limits_.longestLine == ReadLimits::kAll ? ReadLimits::kAll : limits_.longestLine + 1;
  std::string line;
  for (;;) {
    if (next_ == filled_ && !fill()) break;
    const char *from = buffer_.get() + next_;
    const std::size_t available = filled_ - next_;
    const auto *newline = static_cast<const char *>(std::memchr(from, '\n', available));
    const std::size_t length = newline ? static_cast<std::size_t>(newline - from) : available;
    if (line.size() < keep) line.append(from, std::min(length, keep - line.size()));
    next_ += newline ? length + 1 : length;
    if (newline) break;
  }
  ++linesRead_;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > limits_.longestLine) line.resize(limits_.longestLine);
  return line;
}

std::vector<std::string> readLines(const std::string &path, ReadLimits limits) {
  LineReader reader(path, limits);
  std::vector<std::string> lines;
  while (!reader.atEnd()) lines.push_back(reader.readLine());
  return lines;
}

void writeBytes(const std::string &path, std::string_view bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) fail(path);
  writeAll(fd.get(), bytes, path);
  closeChecked(fd, path);
}

void saveLinesAtomically(const std::string &path, const std::vector<std::string> &lines) {
  const std::string target = followLinks(path);
  std::string temp = target + ".XXXXXX";
  UniqueFd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) fail(path);
  // Failures name the user's file, not the temporary one he never sees.
  try {
    writeAll(fd.get(), joinLines(lines), path);
    keepOwnerAndMode(fd.get(), target, path);
    if (::fsync(fd.get()) != 0) fail(path);
    closeChecked(fd, path);
    if (::rename(temp.c_str(), target.c_str()) != 0) fail(path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  // Make the rename itself durable; a failure here cannot undo the save, so it is not reported.
  const std::string folder = folderOf(target);
  UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

std::string moveAside(const std::string &path, const std::string &name) {
  for (unsigned number = 0;; ++number) {
    std::string candidate = number == 0 ? name : name + "." + std::to_string(number);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0) return candidate;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) fail(path);
    // A file system that cannot refuse to replace: a name in use, even by a dangling link, is passed.
    struct stat st {};
    if (::lstat(candidate.c_str(), &st) == 0) continue;
    if (::rename(path.c_str(), candidate.c_str()) != 0) fail(path);
    return candidate;
  }
}

}  // namespace kf::files
