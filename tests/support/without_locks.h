#pragma once
// A thread on which every flock() fails with ENOLCK, as on a network file system without locks: the
// kernel itself refuses the call (a seccomp filter on that thread alone).
#include <functional>

namespace kf::test {

// Runs `work` on such a thread and waits for it; what it throws is thrown here. False, without
// running it, where the system cannot filter a thread's calls.
bool runWithoutLocks(const std::function<void()> &work);

}  // namespace kf::test
