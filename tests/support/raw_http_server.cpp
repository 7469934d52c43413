#include "support/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace kf::test {

namespace {

constexpr std::size_t kMaxHead = 64 * 1024;

std::string lowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

std::string trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

int boundLoopbackSocket(int &port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("bind failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// The request head, read up to its blank line; empty when the client left first.
std::string readHead(int socket) {
  std::string head;
  char piece[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead) {
    const ssize_t received = ::recv(socket, piece, sizeof piece, 0);
    if (received <= 0) return {};
    head.append(piece, static_cast<std::size_t>(received));
  }
  return head.substr(0, head.find("\r\n\r\n") + 4);
}

}  // namespace

std::string RawRequest::requestLine() const {
  return head.substr(0, head.find("\r\n"));
}

std::string RawRequest::method() const {
  const std::string line = requestLine();
  return line.substr(0, line.find(' '));
}

std::string RawRequest::target() const {
  const std::string line = requestLine();
  const std::size_t from = line.find(' ') + 1;
  return line.substr(from, line.rfind(' ') - from);
}

std::string RawRequest::header(std::string_view name) const {
  const std::string wanted = lowered(name) + ":";
  std::size_t at = head.find("\r\n");
  while (at != std::string::npos && at + 2 < head.size()) {
    const std::size_t end = head.find("\r\n", at + 2);
    const std::string line = head.substr(at + 2, end - at - 2);
    if (lowered(line.substr(0, wanted.size())) == wanted) return trimmed(line.substr(wanted.size()));
    at = end;
  }
  return {};
}

bool RawConnection::send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void RawConnection::stall() {
  std::unique_lock lock(server_.mutex_);
  server_.stopped_.wait(lock, [this] { return server_.stopping_; });
}

void RawConnection::waitForClose() {
  char scratch[4096];
  while (::recv(socket_, scratch, sizeof scratch, 0) > 0) {
  }
}

RawHttpServer::RawHttpServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = boundLoopbackSocket(port_);
  if (::listen(listener_, 64) != 0) {
    ::close(listener_);
    throw std::runtime_error("listen failed");
  }
  acceptor_ = std::thread([this] { acceptLoop(); });
}

RawHttpServer::~RawHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const int socket : open_) ::shutdown(socket, SHUT_RDWR);
  }
  stopped_.notify_all();
  // Wakes the blocked accept().
  ::shutdown(listener_, SHUT_RDWR);
  acceptor_.join();
  for (auto &worker : workers_) worker.join();
  ::close(listener_);
}

std::string RawHttpServer::hostAndPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::vector<RawRequest> RawHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void RawHttpServer::acceptLoop() {
  for (;;) {
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    std::lock_guard lock(mutex_);
    if (stopping_) {
      if (socket >= 0) ::close(socket);
      return;
    }
    if (socket < 0) continue;
    open_.push_back(socket);
    workers_.emplace_back([this, socket] { serve(socket); });
  }
}

void RawHttpServer::serve(int socket) {
  const std::string head = readHead(socket);
  if (!head.empty()) {
    RawRequest request{head};
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    RawConnection connection(*this, socket);
    handler_(request, connection);
  }
  std::lock_guard lock(mutex_);
  open_.erase(std::find(open_.begin(), open_.end(), socket));
  ::close(socket);
}

std::string rawAnswer(std::string_view body, std::string_view extraHeaders) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + std::string(extraHeaders) +
         "Connection: close\r\n\r\n" + std::string(body);
}

int unusedPort() {
  int port = 0;
  ::close(boundLoopbackSocket(port));
  return port;
}

}  // namespace kf::test
