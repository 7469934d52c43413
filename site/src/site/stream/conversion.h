#pragma once
// One run of the ffmpeg program over a file: from a segment of its plan on, it writes each segment
// into a folder of its own and names it on its output when the segment is whole. It runs apart from
// the site, at a low priority, within a memory limit, and ends with the site.
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "site/stream/plan.h"

namespace kf::site::stream {

// Where a run that begins at `first` ends: the plan's end, or a few hundred segments on, since the
// cut times go to the program as one argument.
std::size_t runEnd(const Plan &plan, std::size_t first);
// What the ffmpeg program is asked: the segments from `first` to the run's end, read from `input`,
// written into `folder`/N.ts.
std::vector<std::string> conversionArguments(const Plan &plan, std::size_t first, const std::string &input,
                                             const std::filesystem::path &folder);

class Conversion {
 public:
  // Starts `program` (found on PATH unless it names a path); empty when it cannot be started.
  static std::unique_ptr<Conversion> start(const std::string &program, const std::vector<std::string> &arguments);
  ~Conversion();
  Conversion(const Conversion &) = delete;
  Conversion &operator=(const Conversion &) = delete;

  // The descriptors to wait on for its output.
  int output() const { return output_; }
  int errors() const { return errors_; }
  // Reads what it said without waiting: the numbers of the segments it finished since.
  std::vector<std::size_t> finished();
  // Once both its outputs have closed and it has ended: whether it ended well.
  std::optional<bool> ended();
  // Its last words on standard error, for the log.
  const std::string &complaint() const { return complaint_; }

  void pause();
  void resume();

 private:
  Conversion(pid_t pid, int output, int errors) : pid_(pid), output_(output), errors_(errors) {}
  void end();

  pid_t pid_;
  int output_;
  int errors_;
  std::string lines_;
  std::string complaint_;
  bool paused_ = false;
  std::optional<bool> result_;
};

}  // namespace kf::site::stream
