#pragma once
// The segments made so far, in a folder of the site's cache: a folder per version of a file
// ("ID-SIZE-TIME") with its plan and its segments N.ts. Once they pass the cap, the segments used
// longest ago go first.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "site/catalogue/open_file.h"

namespace kf::site::stream {

// A file as it was when listed: a changed file is another version with segments of its own.
struct Version {
  std::string id;
  std::int64_t size = 0;
  std::int64_t mtime = 0;
  // NOLINTNEXTLINE(modernize-use-nullptr): a false alarm on the 0 a defaulted <=> compares with
  auto operator<=>(const Version &) const = default;
};

class SegmentCache {
 public:
  // Counts what an earlier run left there, and removes its unfinished work.
  SegmentCache(std::filesystem::path folder, std::uint64_t cap);

  // The segment, opened and counted as used now; empty when it is not there.
  std::shared_ptr<const OpenFile> open(const Version &version, std::size_t segment);
  // Moves a finished segment in, then lets the oldest go until the cap holds.
  void keep(const std::filesystem::path &made, const Version &version, std::size_t segment);
  std::optional<std::string> plan(const Version &version) const;
  void keepPlan(const Version &version, const std::string &text);
  // A folder of its own for a conversion to write in; gone with `dropWork`.
  std::filesystem::path workFolder(const Version &version);
  void dropWork(const std::filesystem::path &folder);
  // The file of this version has changed or gone.
  void forget(const Version &version);

  std::uint64_t bytes() const;
  const std::filesystem::path &folder() const { return folder_; }

 private:
  std::filesystem::path versionFolder(const Version &version) const;
  void evict();

  struct Kept {
    std::uint64_t bytes = 0;
    std::uint64_t used = 0;  // a counter: higher is more recent
  };

  const std::filesystem::path folder_;
  const std::uint64_t cap_;
  mutable std::mutex mutex_;
  std::map<std::filesystem::path, Kept> kept_;
  std::uint64_t total_ = 0;
  std::uint64_t clock_ = 0;
  std::uint64_t works_ = 0;
};

}  // namespace kf::site::stream
