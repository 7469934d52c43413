#include "platform/os/instance/hand_over.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/base/system_message.h"
#include "platform/os/desktop/user_folders.h"
#include "platform/os/unique_fd.h"

namespace kf::instance {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::string_view kAcknowledgement = "ok\n";
// A start that connects and then says nothing must not hold up the next one for long.
constexpr auto kReadTimeout = std::chrono::seconds(2);
constexpr auto kConnectRetry = std::chrono::milliseconds(50);
// How long a listener waits for its window thread to take a message before it withdraws it. The
// window thread runs what is posted at least every 100 ms, even while the program waits for the
// network or shows a message box.
constexpr auto kTakeTime = std::chrono::seconds(5);
// How long a start waits for the answer to a message it has handed over: the listener's own wait for
// its window thread, and time to read the message and answer on a busy machine.
constexpr auto kAnswerTime = kTakeTime + std::chrono::seconds(5);

Error socketError(const std::string &what) {
  return {errors::kPathFileAccess, what + " (" + systemMessage(errno) + ")"};
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

// Waits until `fd` has `events`; false when the deadline passes or `wake` (when given) is readable
// first.
bool waitFor(int fd, short events, Clock::time_point deadline, int wake = -1) {
  for (;;) {
    pollfd entries[2] = {{fd, events, 0}, {wake, POLLIN, 0}};
    const int ready = ::poll(entries, 2, millisecondsUntil(deadline));
    if (ready > 0) return entries[1].revents == 0;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// One line from a connected start, without its newline; nothing when it sends none in time or too
// much, or the listener is asked to stop.
std::optional<std::string> readLine(int fd, int wake) {
  const auto deadline = Clock::now() + kReadTimeout;
  std::string line;
  char buffer[4096];
  while (line.find('\n') == std::string::npos) {
    if (!waitFor(fd, POLLIN, deadline, wake)) return std::nullopt;
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

// Hands the message to the listener once and waits for its answer: true when it took it.
bool offerOnce(const SocketAddress &address, std::string_view line) {
  const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  // A full backlog (EAGAIN) is a busy listener: the caller offers again in a moment.
  if (fd.get() < 0 || ::connect(fd.get(), address.get(), sizeof address.address) != 0) return false;
  const auto deadline = Clock::now() + kAnswerTime;
  char reply[8] = {};
  if (!sendAll(fd.get(), line, deadline) || !waitFor(fd.get(), POLLIN, deadline)) return false;
  ssize_t got;
  do {
    got = ::recv(fd.get(), reply, sizeof reply, 0);
  } while (got < 0 && errno == EINTR);
  return got > 0 && std::string_view(reply, static_cast<std::size_t>(got)).starts_with(kAcknowledgement);
}

}  // namespace

std::string runtimeFolder() {
  const char *runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && privateFolder(runtime)) return runtime;
  std::string shared = "/tmp/klipfang-" + std::to_string(::getuid());
  if (ownFolder(shared)) return shared;
  // Another user could have made the shared one first, to listen in the program's place: the user's
  // own cache folder is nobody else's to take.
  const std::string cache = desktop::cacheFolder();
  if (::mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) throw socketError("Kein Laufzeitordner: " + cache);
  std::string own = cache + "/klipfang";
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

// The listener's worker thread and the window thread meet here. The worker offers one message at a
// time and waits for the window thread's word on it; what they share is guarded by `mutex`. An offer
// the worker gave up on is withdrawn (`offered` moves on), so the window thread, coming to it late,
// leaves it alone: a message is either taken and acknowledged, or neither.
struct HandOverServer::State {
  enum class Fate { Pending, Deciding, Taken, Refused };

  std::string path;
  std::function<bool(const std::string &)> onMessage;
  PostToWindow post;
  UniqueFd listener;
  UniqueFd wakeRead;
  UniqueFd wakeWrite;
  std::thread worker;

  std::mutex mutex;
  std::condition_variable decided;
  std::uint64_t lastOffer = 0;
  std::uint64_t offered = 0;  // the offer the worker waits on; 0 when none
  Fate fate = Fate::Pending;
  bool stopping = false;

  void serve(const std::weak_ptr<State> &self);
  bool offer(const std::weak_ptr<State> &self, const std::string &message);
  void decide(std::uint64_t offer, const std::string &message);
  void settle(bool taken);
};

void HandOverServer::State::serve(const std::weak_ptr<State> &self) {
  for (;;) {
    pollfd entries[2] = {{listener.get(), POLLIN, 0}, {wakeRead.get(), POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (entries[1].revents != 0) return;
    const UniqueFd client(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (client.get() < 0) continue;
    const std::optional<std::string> message = readLine(client.get(), wakeRead.get());
    // A message not taken gets no answer: the start that sent it sees the connection end.
    if (message && offer(self, *message)) sendAll(client.get(), kAcknowledgement, Clock::now() + kReadTimeout);
  }
}

bool HandOverServer::State::offer(const std::weak_ptr<State> &self, const std::string &message) {
  std::unique_lock lock(mutex);
  const std::uint64_t id = ++lastOffer;
  offered = id;
  fate = Fate::Pending;
  lock.unlock();
  post([self, id, message] {
    if (const std::shared_ptr<State> state = self.lock()) state->decide(id, message);
  });
  lock.lock();
  const auto settled = [this] { return stopping || fate == Fate::Taken || fate == Fate::Refused; };
  // Once the window thread is at it, its answer is waited for however long it takes.
  if (decided.wait_for(lock, kTakeTime, [&] { return settled() || fate == Fate::Deciding; })) {
    decided.wait(lock, settled);
  }
  offered = 0;
  return fate == Fate::Taken;
}

// On the window thread.
void HandOverServer::State::decide(std::uint64_t offer, const std::string &message) {
  {
    const std::lock_guard lock(mutex);
    if (offered != offer || stopping) return;
    fate = Fate::Deciding;
  }
  bool taken = false;
  try {
    taken = onMessage(message);
  } catch (...) {
    settle(false);
    throw;
  }
  settle(taken);
}

void HandOverServer::State::settle(bool taken) {
  {
    const std::lock_guard lock(mutex);
    fate = taken ? Fate::Taken : Fate::Refused;
  }
  decided.notify_all();
}

HandOverServer::HandOverServer(std::string path, std::function<bool(const std::string &)> onMessage, PostToWindow post)
    : state_(std::make_shared<State>()) {
  state_->path = std::move(path);
  state_->onMessage = std::move(onMessage);
  state_->post = std::move(post);
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

  State *state = state_.get();
  state_->worker = std::thread([state, self = std::weak_ptr<State>(state_)] { state->serve(self); });
}

HandOverServer::~HandOverServer() {
  {
    const std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->decided.notify_all();
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
  const std::string line = message + "\n";
  for (;;) {
    if (offerOnce(*address, line)) return true;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(kConnectRetry, deadline - now));
  }
}

}  // namespace kf::instance
