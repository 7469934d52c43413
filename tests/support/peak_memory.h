#pragma once
// What a piece of work costs in memory, measured in a process of its own, and large files made
// without holding them.
#include <cstddef>
#include <functional>
#include <string>

namespace kf::test {

constexpr std::size_t kMiB = 1024 * 1024;

// Runs `work`, expectations and all, in a new run of this test program, as a death test runs: the
// test up to this call, then `work`. Fails when an expectation fails there, or when the process's
// resident size rises more than `limit` bytes above what it held as `work` began. Nothing an earlier
// test did, in a program that runs many, counts in that figure. The test's own process does not run
// `work`: what follows the call sees nothing of it.
void expectPeakGrowthBelow(std::size_t limit, const std::function<void()> &work);

// Appends `piece` over and over until at least `bytes` more bytes are written.
void appendRepeated(const std::string &path, const std::string &piece, std::size_t bytes);

}  // namespace kf::test
