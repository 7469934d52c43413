#include "site/stream/segment_cache.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

namespace kf::site::stream {
namespace {

namespace fs = std::filesystem;

constexpr const char *kWorkPrefix = "arbeit-";
constexpr std::size_t kMaxPlanBytes = 4 * 1024 * 1024;

// A folder "arbeit-PID-N" whose process is gone was left by a site that ended without cleaning up.
bool abandoned(const std::string &name) {
  if (!name.starts_with(kWorkPrefix)) return false;
  const long pid = std::strtol(name.c_str() + std::char_traits<char>::length(kWorkPrefix), nullptr, 10);
  return pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

}  // namespace

SegmentCache::SegmentCache(fs::path folder, std::uint64_t cap) : folder_(std::move(folder)), cap_(cap) {
  std::error_code error;
  std::vector<std::pair<fs::file_time_type, fs::path>> found;
  for (const auto &version : fs::directory_iterator(folder_, error)) {
    if (!version.is_directory(error)) continue;
    for (const auto &entry : fs::directory_iterator(version.path(), error)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_directory(error) && abandoned(name)) {
        fs::remove_all(entry.path(), error);
      } else if (entry.path().extension() == ".ts" && entry.is_regular_file(error)) {
        found.emplace_back(entry.last_write_time(error), entry.path());
      }
    }
  }
  std::ranges::sort(found);
  std::lock_guard lock(mutex_);
  for (const auto &[time, path] : found) {
    const std::uint64_t bytes = fs::file_size(path, error);
    if (error) continue;
    kept_[path] = {bytes, ++clock_};
    total_ += bytes;
  }
  evict();
}

fs::path SegmentCache::versionFolder(const Version &version) const {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "-%llx-%llx", static_cast<unsigned long long>(version.size),
                static_cast<unsigned long long>(version.mtime));
  return folder_ / (version.id + stamp);
}

std::shared_ptr<const OpenFile> SegmentCache::open(const Version &version, std::size_t segment) {
  const fs::path path = versionFolder(version) / (std::to_string(segment) + ".ts");
  std::lock_guard lock(mutex_);
  const auto found = kept_.find(path);
  if (found == kept_.end()) return nullptr;
  auto file = OpenFile::open(path);
  if (file) {
    found->second.used = ++clock_;
  } else {
    total_ -= found->second.bytes;
    kept_.erase(found);
  }
  return file;
}

void SegmentCache::keep(const fs::path &made, const Version &version, std::size_t segment) {
  const fs::path path = versionFolder(version) / (std::to_string(segment) + ".ts");
  std::error_code error;
  const std::uint64_t bytes = fs::file_size(made, error);
  if (error) return;
  fs::rename(made, path, error);
  if (error) return;
  std::lock_guard lock(mutex_);
  auto &kept = kept_[path];
  total_ = total_ - kept.bytes + bytes;
  kept = {bytes, ++clock_};
  evict();
}

void SegmentCache::evict() {
  while (total_ > cap_ && kept_.size() > 1) {
    const auto oldest =
        std::ranges::min_element(kept_, [](const auto &a, const auto &b) { return a.second.used < b.second.used; });
    std::error_code error;
    fs::remove(oldest->first, error);
    total_ -= oldest->second.bytes;
    kept_.erase(oldest);
  }
}

std::optional<std::string> SegmentCache::plan(const Version &version) const {
  const fs::path file = versionFolder(version) / "plan";
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  std::ifstream in(file, std::ios::binary);
  if (error || !in) return std::nullopt;
  std::string text(std::min<std::uintmax_t>(size, kMaxPlanBytes), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

void SegmentCache::keepPlan(const Version &version, const std::string &text) {
  std::error_code error;
  const fs::path folder = versionFolder(version);
  fs::create_directories(folder, error);
  const fs::path part = folder / ("plan." + std::to_string(::getpid()));
  bool written = false;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << text;
    written = static_cast<bool>(out.flush());
  }
  // Without a kept plan the next play asks the file again; nothing else is lost.
  if (written) fs::rename(part, folder / "plan", error);
  if (!written || error) fs::remove(part, error);
}

fs::path SegmentCache::workFolder(const Version &version) {
  std::uint64_t number = 0;
  {
    std::lock_guard lock(mutex_);
    number = ++works_;
  }
  fs::path folder = versionFolder(version) / (kWorkPrefix + std::to_string(::getpid()) + "-" + std::to_string(number));
  std::error_code error;
  fs::create_directories(folder, error);
  return folder;
}

void SegmentCache::dropWork(const fs::path &folder) {
  std::error_code error;
  fs::remove_all(folder, error);
}

void SegmentCache::forget(const Version &version) {
  const fs::path folder = versionFolder(version);
  {
    std::lock_guard lock(mutex_);
    for (auto it = kept_.begin(); it != kept_.end();) {
      if (it->first.parent_path() == folder) {
        total_ -= it->second.bytes;
        it = kept_.erase(it);
      } else {
        ++it;
      }
    }
  }
  std::error_code error;
  fs::remove_all(folder, error);
}

std::uint64_t SegmentCache::bytes() const {
  std::lock_guard lock(mutex_);
  return total_;
}

}  // namespace kf::site::stream
