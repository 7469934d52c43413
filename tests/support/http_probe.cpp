#include "support/http_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace kf::site::test {
namespace {

int connectTo(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  timeval timeout{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void split(Answer &answer) {
  auto end = answer.raw.find("\r\n\r\n");
  answer.headComplete = end != std::string::npos;
  answer.head = answer.raw.substr(0, answer.headComplete ? end + 2 : answer.raw.size());
  if (answer.headComplete) answer.body = answer.raw.substr(end + 4);
  if (answer.head.starts_with("HTTP/1.1 ") && answer.head.size() >= 12)
    answer.status = std::stoi(answer.head.substr(9, 3));
  size_t at = answer.head.find("\r\n");
  while (at != std::string::npos && at + 2 < answer.head.size()) {
    size_t next = answer.head.find("\r\n", at + 2);
    std::string line = answer.head.substr(at + 2, next - at - 2);
    auto colon = line.find(':');
    if (colon != std::string::npos) {
      std::string name = line.substr(0, colon);
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
      answer.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
    }
    at = next;
  }
}

Answer exchange(int fd, const std::string &request, size_t cap) {
  Answer answer;
  answer.connected = fd >= 0;
  if (fd < 0) return answer;
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  char chunk[8192];
  while (answer.raw.size() < cap) {
    ssize_t got = ::recv(fd, chunk, std::min(sizeof chunk, cap - answer.raw.size()), 0);
    if (got == 0) answer.complete = true;
    if (got <= 0) break;
    answer.raw.append(chunk, static_cast<size_t>(got));
    ++answer.reads;
  }
  split(answer);
  return answer;
}

}  // namespace

long long Answer::contentLength() const {
  auto it = headers.find("content-length");
  return it == headers.end() ? -1 : std::stoll(it->second);
}

Answer fetch(int port, const std::string &method, const std::string &target, const std::string &host,
             const std::string &extraHeaders, size_t cap) {
  int fd = connectTo(port);
  Answer answer = exchange(
      fd, method + " " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" + extraHeaders + "Connection: close\r\n\r\n",
      cap);
  if (fd >= 0) ::close(fd);
  return answer;
}

Answer fetchStart(int port, const std::string &target, size_t enough, int &fd) {
  fd = connectTo(port);
  return exchange(fd, "GET " + target + " HTTP/1.1\r\nHost: localhost\r\n\r\n", enough);
}

std::pair<int, int> jpegSize(const std::string &jpeg) {
  for (size_t at = 2; at + 9 < jpeg.size();) {
    auto marker = static_cast<unsigned char>(jpeg[at + 1]);
    size_t length = (static_cast<unsigned char>(jpeg[at + 2]) << 8) | static_cast<unsigned char>(jpeg[at + 3]);
    if (marker >= 0xC0 && marker <= 0xC2) {
      auto byte = [&](size_t i) { return static_cast<unsigned char>(jpeg[at + i]); };
      return {(byte(7) << 8) | byte(8), (byte(5) << 8) | byte(6)};
    }
    at += 2 + length;
  }
  return {0, 0};
}

}  // namespace kf::site::test
