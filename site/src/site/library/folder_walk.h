#pragma once
// The video files under a library folder, told by their names (video_kinds.h): every subfolder,
// hidden names skipped, a symbolic link followed only where its target lies inside the folder, each
// folder visited once.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kf::site::library {

struct FoundFile {
  std::string relative;  // under the library folder, "/" between the names
  std::int64_t size = 0;
  std::int64_t mtime = 0;  // nanoseconds
};

// Whether `path` (links resolved) lies inside `realRoot`, which is itself resolved.
bool insideRoot(const std::filesystem::path &realRoot, const std::filesystem::path &path);

// Stops early, with what it found so far, once `stopping` is set.
std::vector<FoundFile> walkLibrary(const std::filesystem::path &realRoot, const std::atomic<bool> &stopping);

}  // namespace kf::site::library
