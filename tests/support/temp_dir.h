#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#include <string>

namespace kf::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes `bytes` to `path` exactly, replacing the file.
void writeFile(const std::string &path, const std::string &bytes);
std::string readFile(const std::string &path);

}  // namespace kf::test
