#include "site/worker/worker.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

extern char **environ;

namespace kf::site::worker {
namespace {

using namespace std::chrono_literals;

constexpr size_t kMaxFields = 16;
constexpr size_t kMaxField = 16 * 1024 * 1024;
constexpr auto kSlice = 50ms;

// A number up to its newline at `at`; -1 while the line is not whole, -2 when it is no number.
long long numberLine(const std::string &buffer, size_t &at) {
  const size_t end = buffer.find('\n', at);
  if (end == std::string::npos) return buffer.size() - at > 20 ? -2 : -1;
  long long value = -2;
  const auto [stop, error] = std::from_chars(buffer.data() + at, buffer.data() + end, value);
  if (error != std::errc() || stop != buffer.data() + end || value < 0) return -2;
  at = end + 1;
  return value;
}

}  // namespace

bool sendAll(int fd, const std::string &bytes) {
  for (size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

std::string encodeMessage(const Message &message) {
  std::string out = std::to_string(message.size()) + "\n";
  for (const auto &field : message) out += std::to_string(field.size()) + "\n" + field;
  return out;
}

std::optional<Message> decodeMessage(std::string &buffer, bool &bad) {
  size_t at = 0;
  const long long count = numberLine(buffer, at);
  bad = count == -2 || count > static_cast<long long>(kMaxFields);
  if (count < 0 || bad) return std::nullopt;
  Message message;
  for (long long i = 0; i < count; ++i) {
    const long long length = numberLine(buffer, at);
    bad = length == -2 || length > static_cast<long long>(kMaxField);
    if (length < 0 || bad || buffer.size() - at < static_cast<size_t>(length)) return std::nullopt;
    message.push_back(buffer.substr(at, static_cast<size_t>(length)));
    at += static_cast<size_t>(length);
  }
  buffer.erase(0, at);
  return message;
}

Worker::~Worker() {
  end();
}

bool Worker::start() {
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pair[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pair[1], STDOUT_FILENO);
  // Nothing else of the site's: not its listening socket, not its connections.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  const std::string program = program_.string();
  char *argv[] = {const_cast<char *>(program.c_str()), const_cast<char *>(kWorkerArgument), nullptr};
  const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pair[1]);
  if (spawned != 0) {
    ::close(pair[0]);
    pid_ = -1;
    return false;
  }
  fd_ = pair[0];
  return true;
}

void Worker::end() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
}

std::optional<Message> Worker::ask(const Message &request, std::chrono::milliseconds limit,
                                   const std::atomic<bool> *stopping) {
  if (fd_ < 0 && !start()) return std::nullopt;
  if (!sendAll(fd_, encodeMessage(request))) {
    end();
    return std::nullopt;
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::string buffer;
  char chunk[65536];
  for (;;) {
    bool bad = false;
    if (auto reply = decodeMessage(buffer, bad)) return reply;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (bad || left <= 0ms || (stopping && *stopping)) break;
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min(left, std::chrono::milliseconds(kSlice)).count()));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    buffer.append(chunk, static_cast<size_t>(got));
  }
  end();
  return std::nullopt;
}

}  // namespace kf::site::worker
