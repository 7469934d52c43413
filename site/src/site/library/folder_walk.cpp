#include "site/library/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <utility>

#include "site/library/video_kinds.h"

namespace kf::site::library {
namespace {

constexpr size_t kMaxDepth = 64;

std::int64_t nanoseconds(const struct stat &info) {
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

struct Walker {
  const std::filesystem::path &root;
  const std::atomic<bool> &stopping;
  std::vector<FoundFile> found;
  std::set<std::pair<dev_t, ino_t>> visited;

  void folder(const std::filesystem::path &path, const std::string &relative, size_t depth) {
    DIR *dir = ::opendir(path.c_str());
    if (!dir) return;
    struct stat self {};
    if (::fstat(::dirfd(dir), &self) != 0 || !visited.emplace(self.st_dev, self.st_ino).second || depth > kMaxDepth) {
      ::closedir(dir);
      return;
    }
    std::vector<std::pair<std::string, struct stat>> folders;
    while (const dirent *entry = ::readdir(dir)) {
      if (stopping) break;
      const std::string name = entry->d_name;
      if (name.empty() || name.front() == '.') continue;
      struct stat info {};
      if (::fstatat(::dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (S_ISLNK(info.st_mode)) {
        if (!insideRoot(root, path / name) || ::fstatat(::dirfd(dir), name.c_str(), &info, 0) != 0) continue;
      }
      if (S_ISDIR(info.st_mode)) {
        folders.emplace_back(name, info);
      } else if (S_ISREG(info.st_mode) && isVideoName(name)) {
        found.push_back({relative + name, static_cast<std::int64_t>(info.st_size), nanoseconds(info)});
      }
    }
    ::closedir(dir);
    for (const auto &[name, info] : folders) {
      if (!stopping) folder(path / name, relative + name + "/", depth + 1);
    }
  }
};

}  // namespace

bool insideRoot(const std::filesystem::path &realRoot, const std::filesystem::path &path) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  if (error) return false;
  const std::string prefix = realRoot.string() + (realRoot.string().ends_with('/') ? "" : "/");
  return real.string().starts_with(prefix);
}

std::vector<FoundFile> walkLibrary(const std::filesystem::path &realRoot, const std::atomic<bool> &stopping) {
  Walker walker{realRoot, stopping, {}, {}};
  walker.folder(realRoot, "", 0);
  return std::move(walker.found);
}

}  // namespace kf::site::library
