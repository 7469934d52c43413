#include "site/http/head_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace kf::site {
namespace {

using namespace std::chrono_literals;

// The longest poll: the deadlines are looked at at least this often.
constexpr auto kLongestWait = 1000ms;

}  // namespace

HeadReader::HeadReader(ConnectionLimits limits, Ready ready) : limits_(limits), ready_(std::move(ready)) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("no pipe for the site's head reader");
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
  thread_ = std::thread([this] { run(); });
}

HeadReader::~HeadReader() {
  stop();
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

void HeadReader::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake();
  if (thread_.joinable()) thread_.join();
}

void HeadReader::wake() const {
  const char byte = 0;
  while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
  }
}

void HeadReader::add(std::shared_ptr<Connection> connection) {
  std::string address;
  int port = 0;
  connection->get_remote_ip_and_port(address, port);
  const bool idle = connection->answered() > 0 && !connection->buffered();
  const auto deadline = Clock::now() + (idle ? limits_.idleTime : limits_.headTime);
  {
    std::lock_guard lock(mutex_);
    // Over the limit the connection closes at once: a client that opens connections without end
    // takes no more than its share of them.
    std::size_t &ofAddress = perAddress_[address];
    if (stopping_ || count_ >= limits_.waiting || ofAddress >= limits_.perAddress) {
      if (ofAddress == 0) perAddress_.erase(address);
      return;
    }
    ++ofAddress;
    ++count_;
    added_.push_back({std::move(connection), std::move(address), deadline, idle});
  }
  wake();
}

void HeadReader::forget(const Waiting &waiting) {
  std::lock_guard lock(mutex_);
  --count_;
  if (--perAddress_[waiting.address] == 0) perAddress_.erase(waiting.address);
}

bool HeadReader::settle(Waiting &waiting, Clock::time_point now) {
  Connection &connection = *waiting.connection;
  if (connection.holdsHead()) {
    // A head that cannot be read closes the connection.
    if (std::optional<RequestHead> head = connection.bufferedHead()) ready_(std::move(waiting.connection), *head);
    return true;
  }
  if (waiting.idle && connection.buffered()) {
    waiting.idle = false;
    waiting.deadline = now + limits_.headTime;
  }
  return now >= waiting.deadline;
}

void HeadReader::run() {
  std::vector<Waiting> waiting;
  std::vector<pollfd> polled;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) break;
      std::move(added_.begin(), added_.end(), std::back_inserter(waiting));
      added_.clear();
    }
    const auto now = Clock::now();
    auto next = now + kLongestWait;
    std::erase_if(waiting, [&](Waiting &one) {
      const bool over = settle(one, now);
      if (over) {
        forget(one);
      } else {
        next = std::min(next, one.deadline);
      }
      return over;
    });

    polled.assign(1, pollfd{wakeRead_, POLLIN, 0});
    for (const Waiting &one : waiting) polled.push_back({one.connection->socket(), POLLIN, 0});
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::max(next - Clock::now(), Clock::duration{}));
    if (::poll(polled.data(), polled.size(), static_cast<int>(wait.count())) < 0 && errno != EINTR) break;
    if (polled[0].revents != 0) {
      char drained[64];
      while (::read(wakeRead_, drained, sizeof drained) > 0) {
      }
    }
    for (std::size_t i = 0; i < waiting.size(); ++i) {
      // A client that left, or sent more than a head without one, has its deadline now.
      if (polled[i + 1].revents != 0 && !waiting[i].connection->receive()) waiting[i].deadline = Clock::time_point{};
    }
  }
  // The waiting connections close with the list; those added meanwhile with theirs.
  std::lock_guard lock(mutex_);
  added_.clear();
}

}  // namespace kf::site
