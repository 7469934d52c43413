#include "platform/instance/hand_over.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/desktop/user_folders.h"
#include "platform/error.h"
#include "platform/text/cp1252.h"
#include "platform/toolkit.h"
#include "platform/unique_fd.h"

namespace kf::instance {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::string_view kAcknowledgement = "ok\n";
// A start that connects and then says nothing must not hold up the next one for long.
constexpr auto kReadTimeout = std::chrono::seconds(2);
constexpr auto kConnectRetry = std::chrono::milliseconds(50);

Error socketError(const std::string &what) {
  return Error(errors::kPathFileAccess, what + " (" + std::strerror(errno) + ")");
}

std::uint64_t fnv1a(std::string_view key) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const unsigned char c : key) hash = (hash ^ c) * 0x100000001b3ULL;
  return hash;
}

bool privateFolder(const std::string &path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
         (info.st_mode & 077) == 0;
}

// `path` as a folder of this user's alone, made when missing.
bool ownFolder(const std::string &path) {
  return (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) && privateFolder(path);
}

// Where a socket is bound or connected to. A path too long for a socket address (a deep home folder)
// is reached through its folder, held open while the address is in use: /proc/self/fd/N/NAME.
struct SocketAddress {
  sockaddr_un address{};
  UniqueFd folder;

  const sockaddr *get() const { return reinterpret_cast<const sockaddr *>(&address); }
};

std::optional<SocketAddress> addressOf(const std::string &path) {
  SocketAddress made;
  made.address.sun_family = AF_UNIX;
  std::string usable = path;
  const std::size_t slash = path.rfind('/');
  if (path.size() >= sizeof(made.address.sun_path) && slash != std::string::npos && slash > 0) {
    made.folder.reset(::open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (made.folder.get() < 0) return std::nullopt;
    usable = "/proc/self/fd/" + std::to_string(made.folder.get()) + path.substr(slash);
  }
  if (path.empty() || usable.size() >= sizeof(made.address.sun_path)) return std::nullopt;
  std::memcpy(made.address.sun_path, usable.c_str(), usable.size() + 1);
  return made;
}

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until `fd` has `events` or the deadline passes.
bool waitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// One line from a connected start, without its newline; nothing when it sends none in time or too
// much.
std::optional<std::string> readLine(int fd) {
  const auto deadline = Clock::now() + kReadTimeout;
  std::string line;
  char buffer[4096];
  while (line.find('\n') == std::string::npos) {
    if (!waitFor(fd, POLLIN, deadline)) return std::nullopt;
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return std::nullopt;
    line.append(buffer, static_cast<std::size_t>(got));
    if (line.size() > kMaxMessageBytes + 1) return std::nullopt;
  }
  line.erase(line.find('\n'));
  return line;
}

bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    if (!waitFor(fd, POLLOUT, deadline)) return false;
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

std::string runtimeFolder() {
  const char *runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && privateFolder(runtime)) return runtime;
  const std::string shared = "/tmp/klipfang-" + std::to_string(::getuid());
  if (ownFolder(shared)) return shared;
  // Another user could have made the shared one first, to listen in the program's place: the user's
  // own cache folder is nobody else's to take.
  const std::string cache = desktop::cacheFolder();
  if (::mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) throw socketError("Kein Laufzeitordner: " + cache);
  const std::string own = cache + "/klipfang";
  if (!ownFolder(own)) {
    throw Error(errors::kPermissionDenied,
                text::cp1252(u8"Kein Laufzeitordner gehört allein dem Benutzer: ") + shared + ", " + own);
  }
  return own;
}

std::string socketPathFor(std::string_view prefix, std::string_view key) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(key)));
  return runtimeFolder() + "/" + std::string(prefix) + "-" + hash + ".sock";
}

struct HandOverServer::State {
  std::string path;
  std::function<void(const std::string &)> onMessage;
  // Read and cleared on the user-interface thread only: a message posted after the server has gone
  // finds it empty.
  bool alive = true;
  UniqueFd listener;
  UniqueFd wakeRead;
  UniqueFd wakeWrite;
  std::thread worker;
};

HandOverServer::HandOverServer(std::string path, std::function<void(const std::string &)> onMessage)
    : state_(std::make_shared<State>()) {
  state_->path = std::move(path);
  state_->onMessage = std::move(onMessage);
  const std::optional<SocketAddress> address = addressOf(state_->path);
  if (!address) throw Error(errors::kPathFileAccess, "Der Socketpfad ist unbrauchbar: " + state_->path);
  state_->listener.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (state_->listener.get() < 0) throw socketError("Kein Socket");
  ::unlink(state_->path.c_str());
  if (::bind(state_->listener.get(), address->get(), sizeof address->address) != 0 ||
      ::listen(state_->listener.get(), 16) != 0) {
    throw socketError("Der Socket kann nicht belegt werden: " + state_->path);
  }
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC) != 0) throw socketError("Keine Pipe");
  state_->wakeRead.reset(wake[0]);
  state_->wakeWrite.reset(wake[1]);

  ui::Toolkit &toolkit = ui::toolkit();
  State *state = state_.get();
  state_->worker = std::thread([state, weak = std::weak_ptr<State>(state_), &toolkit] {
    for (;;) {
      pollfd entries[2] = {{state->listener.get(), POLLIN, 0}, {state->wakeRead.get(), POLLIN, 0}};
      if (::poll(entries, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (entries[1].revents != 0) return;
      const UniqueFd client(::accept4(state->listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (client.get() < 0) continue;
      const std::optional<std::string> message = readLine(client.get());
      if (!message) continue;
      toolkit.post([weak, message = *message] {
        const std::shared_ptr<State> alive = weak.lock();
        if (alive && alive->alive && alive->onMessage) alive->onMessage(message);
      });
      sendAll(client.get(), kAcknowledgement, Clock::now() + kReadTimeout);
    }
  });
}

HandOverServer::~HandOverServer() {
  state_->alive = false;
  const char stop = 'x';
  while (::write(state_->wakeWrite.get(), &stop, 1) < 0 && errno == EINTR) {
  }
  state_->worker.join();
  ::unlink(state_->path.c_str());
}

bool handOver(const std::string &path, const std::string &message, std::chrono::milliseconds timeout) {
  const std::optional<SocketAddress> address = addressOf(path);
  if (!address || message.find('\n') != std::string::npos || message.size() > kMaxMessageBytes) return false;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) return false;
    if (::connect(fd.get(), address->get(), sizeof address->address) == 0 ||
        (errno == EAGAIN && waitFor(fd.get(), POLLOUT, deadline))) {
      char reply[8] = {};
      if (!sendAll(fd.get(), message + "\n", deadline) || !waitFor(fd.get(), POLLIN, deadline)) return false;
      const ssize_t got = ::recv(fd.get(), reply, sizeof reply, 0);
      return got > 0 && std::string_view(reply, static_cast<std::size_t>(got)).starts_with(kAcknowledgement);
    }
    if (Clock::now() + kConnectRetry >= deadline) return false;
    std::this_thread::sleep_for(kConnectRetry);
  }
}

}  // namespace kf::instance
