#pragma once
// One client connection. The site reads each request's head itself (head_reader.h), so that no
// worker waits for a slow client and a fault can be chosen before anything is answered; otherwise
// it lends itself to cpp-httplib as the stream the ordinary answer is read from and written to.
// Every wait is bounded and ends early when the site stops, so neither a silent client nor a
// running fault can hold up shutdown.
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

  // Takes what the client has sent, without waiting, up to the end of a request head. False when
  // the client left, or sent more than a head may hold without a readable head in it.
  bool receive();
  // Whether the end of a request head has arrived.
  bool holdsHead() const;
  // The next request's head once it has arrived whole; it stays buffered for the httplib side.
  // Empty when it has not, or is too large or malformed.
  std::optional<RequestHead> bufferedHead();
  bool buffered() const { return !buffer_.empty(); }
  // How many requests of this connection have been answered.
  int answered() const { return answered_; }
  void countAnswer() { ++answered_; }

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
  int answered_ = 0;
};

}  // namespace kf::site
