#pragma once
// One client connection. It reads each request's head itself, so that the site can choose a fault
// before anything is answered, and otherwise lends itself to cpp-httplib as the stream the
// ordinary answer is read from and written to. Every wait is bounded and ends early when the
// site stops, so neither a silent client nor a running fault can hold up shutdown.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kf::site {

// The name under which a request's Range header reaches the ordinary answer.
inline constexpr std::string_view kRangeHeader = "X-Klipfang-Range";

struct RequestHead {
  std::string method;
  std::string target;
  std::string host;
  std::string userAgent;
};

class Connection final : public httplib::Stream {
 public:
  Connection(int fd, const std::atomic<bool> &stopping);
  ~Connection() override;
  Connection(const Connection &) = delete;
  Connection &operator=(const Connection &) = delete;

  // Waits for the next request and reads its head, which stays buffered for the httplib side.
  // Empty when the client left or stayed silent, the head is too large or malformed, or the site
  // stops.
  std::optional<RequestHead> nextHead();

  // Sends all bytes; false when the client is gone, stops reading, or the site stops.
  bool send(std::string_view bytes);
  // Waits; false at once when the client hangs up or the site stops.
  bool pause(std::chrono::milliseconds time);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char *ptr, size_t size) override;
  ssize_t write(const char *ptr, size_t size) override;
  void get_remote_ip_and_port(std::string &ip, int &port) const override;
  void get_local_ip_and_port(std::string &ip, int &port) const override;
  socket_t socket() const override { return fd_; }

 private:
  bool waitFor(short events, std::chrono::milliseconds limit) const;

  int fd_;
  const std::atomic<bool> &stopping_;
  std::string buffer_;  // received, not yet read
};

}  // namespace kf::site
