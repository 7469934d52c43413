#pragma once
// What a reader costs in memory, measured inside the test, and large files made without holding them.
#include <sys/resource.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <stdexcept>
#include <string>

namespace kf::test {

// The highest resident size this process has reached, in bytes.
inline std::size_t peakMemoryBytes() {
  rusage usage{};
  if (::getrusage(RUSAGE_SELF, &usage) != 0) throw std::runtime_error("getrusage failed");
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // reported in kilobytes
}

// Appends `piece` over and over until at least `bytes` more bytes are written.
inline void appendRepeated(const std::string &path, const std::string &piece, std::size_t bytes) {
  std::string slice;
  while (slice.size() < std::min<std::size_t>(bytes, 65536)) slice += piece;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  for (std::size_t written = 0; written < bytes; written += slice.size()) out << slice;
  if (!out) throw std::runtime_error("cannot write " + path);
}

constexpr std::size_t kMiB = 1024 * 1024;

}  // namespace kf::test
