#pragma once
// How a second start of a program that runs once per user (or per folder) reaches the first: the
// first listens on a local socket in the user's runtime folder, a later start connects, hands over
// one line of text and ends once the first has taken it. Who may listen is decided by an
// InstanceLock, so a socket left behind by a killed program is simply replaced.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/post_to_window.h"

namespace kf::instance {

// The longest message a start may hand over: far more than an address needs.
constexpr std::size_t kMaxMessageBytes = 64 * 1024;

// The folder for this user's sockets: $XDG_RUNTIME_DIR, else a folder of this user's own under /tmp,
// else (another user made that one first) one under $XDG_CACHE_HOME or ~/.cache; nobody else may
// enter it. Throws kf::Error when no such folder can be had.
std::string runtimeFolder();

// A socket path in runtimeFolder() for `key` (a folder path, say): "<prefix>-<hash of key>.sock".
// Any length serves: a path too long for a socket address is reached through its folder.
std::string socketPathFor(std::string_view prefix, std::string_view key);

class HandOverServer {
 public:
  // Listens at `path`, replacing what is there: the caller holds the lock that makes it the one
  // listener. Each message handed over is offered to `onMessage` on the user-interface thread
  // (through `post`), which answers whether it took it; the start that sent it hears so only then.
  // A message the window thread leaves for some seconds is withdrawn, never taken later.
  // Throws kf::Error when the socket cannot be made.
  HandOverServer(std::string path, std::function<bool(const std::string &message)> onMessage, PostToWindow post);
  // Stops listening and removes the socket; a message not yet taken is refused. Call it on the
  // user-interface thread.
  ~HandOverServer();
  HandOverServer(const HandOverServer &) = delete;
  HandOverServer &operator=(const HandOverServer &) = delete;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// Hands `message` (one line, at most kMaxMessageBytes) to the program listening at `path`. True once
// that program has taken it; false when it refuses it or nothing takes it by the end of `timeout` (a
// first start may still be on its way to listening, so it is offered again until then; a zero
// timeout offers it once). A listener that has the message is waited for until it answers (some
// seconds at most), whatever the timeout.
bool handOver(const std::string &path, const std::string &message, std::chrono::milliseconds timeout);

}  // namespace kf::instance
