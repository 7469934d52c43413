#pragma once
// A download on its way into the download folder. The bytes go into "<name>.part"; only a complete
// file gets its real name, and it never takes the place of a file that is already there. A part file
// that is not finished goes away with this object, so a download that is given up leaves nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/error.h"

namespace kf::files {

// `name` itself for 0, else the name with " (n)" before its extension: "clip (2).webm".
std::string numberedName(const std::string &name, int n);

class PartFile {
 public:
  // Creates "<folder>/<name>.part", or "<name> (n).part" while that or the file "<name> (n)" exists,
  // so that the name it is made for is free when the download begins. Raises kf::Error.
  PartFile(std::string folder, std::string name);
  ~PartFile();
  PartFile(const PartFile &) = delete;
  PartFile &operator=(const PartFile &) = delete;

  const std::string &path() const { return partPath_; }
  // The name the part file was made for ("name (n)" where "name" was taken): the name the finished
  // file gets unless another file takes it meanwhile, so a running download can show it already.
  const std::string &intendedName() const { return intendedName_; }
  // The bytes in the file.
  std::uint64_t size() const { return size_; }

  // Adds the bytes at the end. Raises kf::Error (disk full, ...) with the system's reason.
  void append(std::string_view bytes);
  // Empties the file, for a download that starts over.
  void restart();

  // Flushes the bytes to the disk and gives the file its intended name, or the next free numbered
  // one when another file took that meanwhile. Returns the file's path. Raises kf::Error.
  std::string finish();

 private:
  std::string folder_;
  std::string name_;
  std::string partPath_;
  std::string intendedName_;
  int number_ = 0;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  bool finished_ = false;
};

}  // namespace kf::files
