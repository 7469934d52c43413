#pragma once
// A download on its way into the download folder. The bytes go into "<name>.part"; only a complete
// file gets its real name, and it never takes the place of a file that is already there. A part file
// that is not finished goes away with this object.
#include <stdexcept>
#include <string>

namespace kf::fetch {

struct SaveFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class PartFile {
 public:
  // Creates "<folder>/<name>.part", or "<name> (n).part" while that exists. Throws SaveFailed.
  PartFile(std::string folder, std::string name);
  ~PartFile();
  PartFile(const PartFile &) = delete;
  PartFile &operator=(const PartFile &) = delete;

  const std::string &path() const { return partPath_; }

  // Throws SaveFailed (disk full, ...).
  void write(const char *data, std::size_t count);

  // Flushes the bytes to the disk and gives the file its name: `name`, or "name (n).ext" when a
  // file of that name exists. Returns the file's path. Throws SaveFailed.
  std::string finish();

 private:
  std::string folder_;
  std::string name_;
  std::string partPath_;
  int fd_ = -1;
  bool finished_ = false;
};

}  // namespace kf::fetch
