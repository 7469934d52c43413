#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/error.h"
#include "platform/text/cp1252.h"

namespace kf::files {
namespace {

Error errorFromErrno(int err, const std::string &path) {
  switch (err) {
    case ENOENT:
      return Error(errors::kFileNotFound, text::cp1252(u8"Datei nicht gefunden: ") + path);
    case EACCES:
    case EPERM:
    case EROFS:
      return Error(errors::kPermissionDenied, text::cp1252(u8"Zugriff verweigert: ") + path);
    case ENOSPC:
    case EDQUOT:
      return Error(errors::kDiskFull, text::cp1252(u8"Datenträger voll: ") + path);
    case ENOTDIR:
    case EISDIR:
    case EEXIST:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path);
    default:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path +
                                                 " (" + std::strerror(err) + ")");
  }
}

[[noreturn]] void fail(const std::string &path) { throw errorFromErrno(errno, path); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd &) = delete;
  Fd &operator=(const Fd &) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

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

void closeChecked(Fd &fd, const std::string &path) {
  if (::close(fd.release()) != 0) fail(path);
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

void removeFile(const std::string &path) {
  if (::unlink(path.c_str()) != 0) fail(path);
}

std::string readBytes(const std::string &path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) fail(path);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) fail(path);
  if (!S_ISREG(st.st_mode)) throw errorFromErrno(EISDIR, path);
  std::string bytes;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(path);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return bytes;
}

std::vector<std::string> readLines(const std::string &path) {
  const std::string bytes = readBytes(path);
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < bytes.size()) {
    auto end = bytes.find('\n', from);
    if (end == std::string::npos) end = bytes.size();
    std::size_t len = end - from;
    if (len > 0 && bytes[from + len - 1] == '\r') --len;
    lines.push_back(bytes.substr(from, len));
    from = end + 1;
  }
  return lines;
}

LineReader::LineReader(const std::string &path) : lines_(readLines(path)) {}

std::string LineReader::readLine() {
  if (atEnd()) throw Error(errors::kInputPastEnd, text::cp1252(u8"Einlesen hinter Dateiende."));
  return lines_[next_++];
}

void writeBytes(const std::string &path, std::string_view bytes) {
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) fail(path);
  writeAll(fd.get(), bytes, path);
  closeChecked(fd, path);
}

void writeLines(const std::string &path, const std::vector<std::string> &lines) {
  writeBytes(path, joinLines(lines));
}

void saveLinesAtomically(const std::string &path, const std::vector<std::string> &lines) {
  std::string temp = path + ".XXXXXX";
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) fail(path);
  try {
    writeAll(fd.get(), joinLines(lines), temp);
    if (::fsync(fd.get()) != 0) fail(temp);
    ::fchmod(fd.get(), 0644);
    closeChecked(fd, temp);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail(path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  // Make the rename itself durable; a failure here cannot undo the save, so it is not reported.
  const auto slash = path.rfind('/');
  Fd dir(::open(slash == std::string::npos ? "." : path.substr(0, slash + 1).c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace kf::files
