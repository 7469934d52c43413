#pragma once
// A file opened once and read in pieces at any offset, so that an answer of any size goes out
// without being held in memory, and a file removed meanwhile is still read to its end.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace kf::site {

class OpenFile {
 public:
  // A regular file, opened for reading; empty when it is missing, unreadable or not a regular file.
  static std::shared_ptr<const OpenFile> open(const std::filesystem::path &path);
  ~OpenFile();
  OpenFile(const OpenFile &) = delete;
  OpenFile &operator=(const OpenFile &) = delete;

  std::uint64_t size() const { return size_; }
  // The time of its last change, in nanoseconds.
  std::int64_t mtime() const { return mtime_; }
  // Up to `length` bytes from `offset` into `out`; false on a read error or when the file has
  // become shorter than it was when opened.
  bool read(std::uint64_t offset, std::size_t length, std::string &out) const;
  // Where the open file really lies, links resolved, as the system names it.
  std::filesystem::path realPath() const;
  // A name under which another process of this user opens this very file while it stays open here.
  std::filesystem::path procPath() const;

 private:
  OpenFile(int fd, std::uint64_t size, std::int64_t mtime) : fd_(fd), size_(size), mtime_(mtime) {}
  int fd_;
  std::uint64_t size_;
  std::int64_t mtime_;
};

}  // namespace kf::site
