#pragma once
// One pass over the library folder: files that are new or whose size or time changed are read
// (in worker processes, two at a time), rows of files that are gone are dropped, and everything
// else is left as it is. Rows are committed as they come, so pages show what is read so far.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "site/library/store.h"

namespace kf::site::library {

struct ScanCounts {
  std::size_t known = 0;           // videos in the catalogue after the scan
  std::size_t withoutDetails = 0;  // of them, listed by their name only: the container was unreadable
  std::size_t unreadable = 0;      // files that could not be opened at all, skipped
  std::size_t read = 0;            // files read in this scan
  std::size_t dropped = 0;         // rows dropped in this scan
};

class Scanner {
 public:
  // `gone` hears of every row whose file changed or vanished, with the size and time it had.
  Scanner(std::filesystem::path realRoot, std::filesystem::path database, std::filesystem::path workerProgram,
          std::function<void(const Stamp &)> gone)
      : root_(std::move(realRoot)),
        database_(std::move(database)),
        workerProgram_(std::move(workerProgram)),
        gone_(std::move(gone)) {}

  ScanCounts scan(const std::atomic<bool> &stopping);

 private:
  std::filesystem::path root_;
  std::filesystem::path database_;
  std::filesystem::path workerProgram_;
  std::function<void(const Stamp &)> gone_;
};

// How long the worker may take over one file before it is ended and the file listed by its name.
inline constexpr std::chrono::milliseconds kProbeLimit{5000};

}  // namespace kf::site::library
