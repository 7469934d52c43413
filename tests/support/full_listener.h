#pragma once
// A loopback port whose listen queue is full: a connect to it is neither accepted nor refused, the
// way a server behind a silent firewall behaves.
#include <string>

namespace kf::test {

class FullListener {
 public:
  FullListener();
  ~FullListener();
  FullListener(const FullListener &) = delete;
  FullListener &operator=(const FullListener &) = delete;

  // "127.0.0.1:<port>"
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int listener_ = -1;
  int port_ = 0;
  int filler_ = -1;
};

}  // namespace kf::test
