#include "site/http/connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace kf::site {
namespace {

using namespace std::chrono_literals;

constexpr auto kIoTime = 5s;   // for one read or write to make progress
constexpr auto kSlice = 50ms;  // how often a wait looks at the stop flag
constexpr size_t kMaxHead = 16 * 1024;

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string trimmed(std::string_view text) {
  auto first = text.find_first_not_of(" \t");
  auto last = text.find_last_not_of(" \t\r");
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first, last - first + 1));
}

std::optional<RequestHead> parseHead(std::string_view head) {
  RequestHead out;
  auto lineEnd = head.find('\n');
  std::string_view first = head.substr(0, lineEnd);
  auto space1 = first.find(' ');
  auto space2 = first.find(' ', space1 == std::string_view::npos ? space1 : space1 + 1);
  if (space1 == std::string_view::npos || space2 == std::string_view::npos) return std::nullopt;
  out.method = first.substr(0, space1);
  out.target = first.substr(space1 + 1, space2 - space1 - 1);
  while (lineEnd != std::string_view::npos) {
    head.remove_prefix(lineEnd + 1);
    lineEnd = head.find('\n');
    std::string_view line = head.substr(0, lineEnd);
    auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string name = lower(std::string(line.substr(0, colon)));
    if (name == "host") out.host = trimmed(line.substr(colon + 1));
    if (name == "user-agent") out.userAgent = trimmed(line.substr(colon + 1));
  }
  return out;
}

// httplib answers a Range it cannot read with a bare 416 before the site sees the request, and cuts
// the body to the ranges it can read without holding them against the size. The site judges ranges
// itself (ranges.h): the header reaches httplib under a name it does not know.
void renameRanges(std::string &buffer, size_t &headSize) {
  for (size_t line = buffer.find('\n'); line != std::string::npos && line + 1 < headSize;
       line = buffer.find('\n', line + 1)) {
    constexpr std::string_view kName = "range:";
    if (lower(buffer.substr(line + 1, kName.size())) == kName) {
      const std::string_view renamed = kRangeHeader.substr(0, kRangeHeader.size() - kName.size() + 1);
      buffer.insert(line + 1, renamed);
      headSize += renamed.size();
    }
  }
}

void addressOf(const sockaddr_storage &addr, std::string &ip, int &port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (addr.ss_family == AF_INET) {
    const auto &in = reinterpret_cast<const sockaddr_in &>(addr);
    inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    port = ntohs(in.sin_port);
  } else if (addr.ss_family == AF_INET6) {
    const auto &in6 = reinterpret_cast<const sockaddr_in6 &>(addr);
    inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
    port = ntohs(in6.sin6_port);
  }
  ip = text;
}

}  // namespace

// Every answer leaves as soon as it is written. With Nagle's algorithm on, the body written after
// the header block waits for the client's acknowledgement of it, which a client that delays its
// acknowledgements (libcurl after a HEAD on the same connection) holds back for 40 ms: a search
// paid that on every page. httplib's answers and the faults alike are written through here.
Connection::Connection(int fd, const std::atomic<bool> &stopping) : fd_(fd), stopping_(stopping) {
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

Connection::~Connection() {
  ::shutdown(fd_, SHUT_RDWR);
  ::close(fd_);
}

bool Connection::waitFor(short events, std::chrono::milliseconds limit) const {
  for (auto waited = 0ms; waited < limit && !stopping_; waited += kSlice) {
    pollfd p{fd_, events, 0};
    int ready = ::poll(&p, 1, static_cast<int>(kSlice.count()));
    if (ready > 0) return (p.revents & events) != 0 || (p.revents & (POLLHUP | POLLERR)) != 0;
    if (ready < 0 && errno != EINTR) return false;
  }
  return false;
}

bool Connection::receive() {
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (got > 0) {
      buffer_.append(chunk, static_cast<size_t>(got));
      // Only a head is read here: once the buffer holds one, the rest waits for httplib.
      if (holdsHead()) return true;
      if (buffer_.size() >= kMaxHead) return false;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

std::optional<RequestHead> Connection::bufferedHead() {
  size_t headSize = 0;
  for (std::string_view end : {"\r\n\r\n", "\n\n"}) {
    auto at = buffer_.find(end);
    if (at != std::string::npos && (headSize == 0 || at + end.size() < headSize)) headSize = at + end.size();
  }
  if (headSize == 0 || headSize > kMaxHead) return std::nullopt;
  renameRanges(buffer_, headSize);
  return parseHead(std::string_view(buffer_).substr(0, headSize));
}

bool Connection::holdsHead() const {
  return buffer_.find("\n\n") != std::string::npos || buffer_.find("\r\n\r\n") != std::string::npos;
}

bool Connection::send(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t sent = write(bytes.data(), bytes.size());
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

bool Connection::pause(std::chrono::milliseconds time) {
  for (auto waited = 0ms; waited < time; waited += kSlice) {
    if (stopping_) return false;
    pollfd p{fd_, POLLRDHUP, 0};
    int ready = ::poll(&p, 1, static_cast<int>(std::min(kSlice, time - waited).count()));
    if (ready > 0) return false;
  }
  return !stopping_;
}

bool Connection::is_readable() const {
  return !buffer_.empty() || waitFor(POLLIN, kIoTime);
}

bool Connection::is_writable() const {
  return waitFor(POLLOUT, kIoTime);
}

ssize_t Connection::read(char *ptr, size_t size) {
  if (!buffer_.empty()) {
    size_t n = std::min(size, buffer_.size());
    std::copy_n(buffer_.data(), n, ptr);
    buffer_.erase(0, n);
    return static_cast<ssize_t>(n);
  }
  if (!waitFor(POLLIN, kIoTime)) return -1;
  return ::recv(fd_, ptr, size, 0);
}

ssize_t Connection::write(const char *ptr, size_t size) {
  if (!is_writable()) return -1;
  return ::send(fd_, ptr, size, MSG_NOSIGNAL);
}

void Connection::get_remote_ip_and_port(std::string &ip, int &port) const {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (::getpeername(fd_, reinterpret_cast<sockaddr *>(&addr), &len) == 0) addressOf(addr, ip, port);
}

void Connection::get_local_ip_and_port(std::string &ip, int &port) const {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (::getsockname(fd_, reinterpret_cast<sockaddr *>(&addr), &len) == 0) addressOf(addr, ip, port);
}

}  // namespace kf::site
