#include "support/full_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kf::test {

FullListener::FullListener() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  // A backlog of 0 leaves room for a single connection that is never accepted.
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0 || ::listen(listener_, 0) != 0) {
    throw std::runtime_error("full listener: no socket");
  }
  port_ = ntohs(address.sin_port);
  filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (filler_ < 0 || ::connect(filler_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
    throw std::runtime_error("full listener: queue not filled");
  }
}

FullListener::~FullListener() {
  ::close(filler_);
  ::close(listener_);
}

}  // namespace kf::test
