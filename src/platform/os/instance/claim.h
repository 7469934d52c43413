#pragma once
// The start of a program that runs once: it becomes the one that runs, or hands its word to the one
// that does and ends.
#include <chrono>
#include <optional>
#include <string>

#include "platform/os/instance/instance_lock.h"

namespace kf::instance {

struct Claim {
  enum class Outcome {
    Ours,         // this start holds the lock
    HandedOver,   // the holder took the message
    Unreachable,  // another holds the lock and took nothing
  };
  Outcome outcome;
  std::optional<InstanceLock> lock;  // held when Ours
};

// Takes the lock at `lockPath`, or hands `message` to its holder listening at `socketPath` (empty:
// nobody can be reached). A holder that is starting, closing or gone does not take it; the lock is
// then tried again, for a holder that has just ended lets it go, and the message offered again, until
// `timeout` has passed with the lock still held. Throws kf::Error when the lock fails for another
// reason than another's holding it.
Claim claimOrHandOver(const std::string &lockPath, const std::string &socketPath, const std::string &message,
                      std::chrono::milliseconds timeout);

}  // namespace kf::instance
