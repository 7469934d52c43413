#include "support/recording_proxy.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kf::test {

namespace {

int connectTo(const std::string &host, const std::string &port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo *found = nullptr;
  if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (addrinfo *at = found; at && fd < 0; at = at->ai_next) {
    fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
    if (fd >= 0 && ::connect(fd, at->ai_addr, at->ai_addrlen) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  ::freeaddrinfo(found);
  return fd;
}

// The request as the origin server should see it: the target in origin form, one request only.
std::string originRequest(const RawRequest &request, const std::string &path) {
  std::string out = request.method() + " " + path + " HTTP/1.1\r\n";
  std::size_t at = request.head.find("\r\n") + 2;
  while (at < request.head.size()) {
    const std::size_t end = request.head.find("\r\n", at);
    const std::string line = request.head.substr(at, end - at);
    at = end + 2;
    if (line.empty()) break;
    const std::string name = line.substr(0, line.find(':'));
    if (name == "Connection" || name == "Proxy-Connection" || name == "Keep-Alive") continue;
    out += line + "\r\n";
  }
  return out + "Connection: close\r\n\r\n";
}

void relay(const RawRequest &request, RawConnection &client) {
  constexpr std::string_view kScheme = "http://";
  const std::string target = request.target();
  if (target.compare(0, kScheme.size(), kScheme) != 0) {
    client.send("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    return;
  }
  const std::size_t slash = target.find('/', kScheme.size());
  const std::string authority = target.substr(kScheme.size(), slash - kScheme.size());
  const std::size_t colon = authority.rfind(':');
  const std::string host = authority.substr(0, colon);
  const std::string port = colon == std::string::npos ? "80" : authority.substr(colon + 1);
  const int upstream = connectTo(host, port);
  if (upstream < 0) {
    client.send("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    return;
  }
  const std::string forwarded = originRequest(request, slash == std::string::npos ? "/" : target.substr(slash));
  if (::send(upstream, forwarded.data(), forwarded.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(forwarded.size())) {
    char piece[16 * 1024];
    ssize_t received = 0;
    while ((received = ::recv(upstream, piece, sizeof piece, 0)) > 0 &&
           client.send(std::string_view(piece, static_cast<std::size_t>(received)))) {
    }
  }
  ::close(upstream);
}

}  // namespace

RecordingProxy::RecordingProxy() : server_(relay) {}

}  // namespace kf::test
