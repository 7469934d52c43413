#include "support/peak_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace kf::test {
namespace {

// A size in /proc/self/status ("VmRSS", "VmHWM"), in bytes.
std::size_t statusBytes(std::string_view field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.size() > field.size() && line.starts_with(field) && line[field.size()] == ':') {
      return std::stoull(line.substr(field.size() + 1)) * 1024;  // in kB
    }
  }
  throw std::runtime_error("no " + std::string(field) + " in /proc/self/status");
}

// The child's part; it never returns.
[[noreturn]] void measure(std::size_t limit, const std::function<void()> &work) {
  // The peak so far is the test's setting up: it starts again from what the process holds now.
  std::ofstream("/proc/self/clear_refs") << "5";
  const std::size_t before = statusBytes("VmRSS");
  work();
  const std::size_t grown = statusBytes("VmHWM") - std::min(before, statusBytes("VmHWM"));
  if (grown > limit) {
    std::fprintf(stderr, "the work took %.1f MiB more, the limit is %.1f MiB\n", static_cast<double>(grown) / kMiB,
                 static_cast<double>(limit) / kMiB);
    std::_Exit(1);
  }
  std::_Exit(testing::Test::HasFailure() ? 2 : 0);
}

}  // namespace

void expectPeakGrowthBelow(std::size_t limit, const std::function<void()> &work) {
  // A new run of the program, not a fork of this one: the work may need the test's threads (its
  // servers, Qt's), which a fork leaves behind.
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(measure(limit, work), testing::ExitedWithCode(0), "");
  GTEST_FLAG_SET(death_test_style, style);
}

void appendRepeated(const std::string &path, const std::string &piece, std::size_t bytes) {
  std::string slice;
  while (slice.size() < std::min<std::size_t>(bytes, 65536)) slice += piece;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  for (std::size_t written = 0; written < bytes; written += slice.size()) out << slice;
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace kf::test
