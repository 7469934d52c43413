#pragma once
// One clock for the bench and the program it starts: CLOCK_MONOTONIC is the same in every process
// of the machine, so a time taken in one can be subtracted from a time taken in the other.
#include <time.h>

namespace kf::bench {

inline long long monotonicNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

}  // namespace kf::bench
