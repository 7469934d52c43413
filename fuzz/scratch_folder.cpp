#include "scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "platform/os/files.h"

namespace kf::fuzz {
namespace {

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "klipfang-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Folder(const Folder &) = delete;
  Folder &operator=(const Folder &) = delete;
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string &scratchFolder() {
  static const Folder folder;
  return folder.path();
}

std::string writeScratchFile(const std::string &name, const unsigned char *data, std::size_t size) {
  std::string path = files::join(scratchFolder(), name);
  files::writeBytes(path, std::string_view(reinterpret_cast<const char *>(data), size));
  return path;
}

}  // namespace kf::fuzz
