#pragma once
// The program's one HTTP client. It offers exactly what the two fetchers need: a HEAD request that
// gives the status code and the raw header block, a GET opened by full address and read in chunks
// of a fixed size, and a whole-body GET. A Session is the root of every request: it fixes the user
// agent, the proxy use and the limits, and the requests made on it share its connections.
//
// Addresses are plain "http" addresses; a host may carry a port ("host:8480"), otherwise port 80.
// Characters that may not stand on a request line (blank, control, bytes above 127) are
// percent-encoded here, when the request is sent; an existing "%XX" is kept as it is.
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/http/limits.h"

namespace kf::http {

enum class ProxyUse {
  System,  // the system's proxy settings (on Linux the proxy environment variables)
  Direct,  // always a direct connection, whatever the system says
};

namespace detail {
struct SessionState;
struct Transfer;
}  // namespace detail

class Session {
 public:
  Session(std::string userAgent, ProxyUse proxy, Limits limits = limitsFor(TransferKind::Page));
  ~Session();
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;

 private:
  friend class Connection;
  friend class HeadRequest;
  friend class UrlStream;
  friend std::optional<std::string> fetchBody(Session &session, const std::string &url);
  std::shared_ptr<detail::SessionState> state_;
};

// The server that requests on a session go to: "host" or "host:port". Opening sends nothing.
class Connection {
 public:
  // Null when hostAndPort names no host or carries a port that is not a number from 1 to 65535.
  static std::unique_ptr<Connection> open(Session &session, const std::string &hostAndPort);
  ~Connection();
  Connection(const Connection &) = delete;
  Connection &operator=(const Connection &) = delete;

 private:
  friend class HeadRequest;
  Connection(std::shared_ptr<detail::SessionState> state, std::string hostAndPort);
  std::shared_ptr<detail::SessionState> state_;
  std::string hostAndPort_;
};

// A HEAD request over HTTP/1.1 that bypasses every cache on the way.
class HeadRequest {
 public:
  // `path` begins with "/" and may carry a query.
  HeadRequest(Connection &connection, const std::string &path);
  ~HeadRequest();
  HeadRequest(const HeadRequest &) = delete;
  HeadRequest &operator=(const HeadRequest &) = delete;

  // Sends the request and waits for the whole answer. False when no answer arrived.
  bool send();
  // The status code of the answer as its digits ("200"); empty before a successful send.
  std::string statusCode() const;
  // The status line and header lines of the answer, each ended by a NUL character, and one more NUL
  // for the blank line that ends the block; empty before a successful send.
  const std::string &rawHeaders() const;

 private:
  std::unique_ptr<detail::Transfer> transfer_;
  bool sent_ = false;
};

struct TransferFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A GET by full address. The request is sent when the stream is opened; the body is then read in
// pieces. Reloads from the server when asked, bypassing caches.
class UrlStream {
 public:
  enum class Cache { Allowed, Bypass };
  UrlStream(Session &session, const std::string &url, Cache cache);
  ~UrlStream();
  UrlStream(const UrlStream &) = delete;
  UrlStream &operator=(const UrlStream &) = delete;

  // Fills `buffer` with exactly `count` bytes, fewer only at the end of the body. Throws
  // TransferFailed when the body cannot be had whole: no connection, a limit hit, or a body cut
  // off by the server.
  std::size_t read(char *buffer, std::size_t count);

 private:
  std::unique_ptr<detail::Transfer> transfer_;
};

// The whole body of a GET, byte for byte, whatever the status; nothing when the body cannot be had
// whole.
std::optional<std::string> fetchBody(Session &session, const std::string &url);

}  // namespace kf::http
