#pragma once
// The program's one HTTP client. It offers exactly what the fetchers need: a HEAD request that gives
// the status code and the raw header block, a GET opened by full address and read in chunks of a
// fixed size, and a whole-answer GET. A Session is the root of every request: it fixes the user
// agent, the proxy use, the limits and how a wait for the network is spent, and the requests made on
// it share its connections.
//
// Addresses are plain "http" addresses; a host may carry a port ("host:8480"), otherwise port 80.
// Characters that may not stand in a request target are percent-encoded here, when the request is
// sent (request_address.h); an existing "%XX" is kept as it is.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/http/limits.h"

namespace kf::http {

enum class ProxyUse {
  System,  // the system's proxy settings (on Linux the proxy environment variables)
  Direct,  // always a direct connection, whatever the system says
};

// Runs on the waiting thread while a request of the session waits for the network, at least once
// every kWaitSlice: the window thread processes its pending events there. A hook that throws drops
// the transfer in hand (its connection is closed) and its exception reaches the caller of the request.
// Without a hook the thread sleeps on the sockets until something arrives or a limit strikes.
using WaitHook = std::function<void()>;
inline constexpr std::chrono::milliseconds kWaitSlice{100};

// Why an answer could not be had.
enum class Failure {
  Unreachable,  // no connection to the server, or an address that names none
  TimedOut,     // the server answered too slowly or not at all
  CutOff,       // the connection ended before the answer was whole, or the answer was no valid HTTP
  TooLarge,     // the answer went beyond the size limit
};

struct TransferFailed : std::runtime_error {
  TransferFailed(Failure kind, const std::string &what) : std::runtime_error(what), failure(kind) {}
  Failure failure;
};

struct Answer {
  long status = 0;
  std::string body;
};

namespace detail {
struct SessionState;
struct SharedConnections;
struct CurlRequest;
}  // namespace detail

// Connections kept from one session to the next while the pool lives: the pages of one search go to
// the same site one after another, and a connection made for the first saves the handshake of every
// later one. The connections close when the pool and the last session made with it have ended. For
// the sessions of one thread.
class ConnectionPool {
 public:
  ConnectionPool();

 private:
  friend class Session;
  std::shared_ptr<detail::SharedConnections> shared_;
};

class Session {
 public:
  // Without a pool, the session's connections end with it.
  Session(std::string userAgent, ProxyUse proxy, Limits limits = limitsFor(TransferKind::Page),
          WaitHook whileWaiting = {}, const ConnectionPool *pool = nullptr);
  ~Session();
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;

 private:
  friend class Connection;
  friend class UrlStream;
  friend Answer fetchAnswer(Session &session, const std::string &url);
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

  // Sends the request and waits for the whole answer. False when no answer arrived; failure() then
  // says why.
  bool send();
  Failure failure() const;
  // The status code of the answer as its digits ("200"); empty before a successful send.
  std::string statusCode() const;
  // The status line and header lines of the answer, each ended by a NUL character, and one more NUL
  // for the blank line that ends the block; empty before a successful send.
  const std::string &rawHeaders() const;

 private:
  std::unique_ptr<detail::CurlRequest> transfer_;
  bool sent_ = false;
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

  // True when the answer announces neither a size nor chunks, so that only the end of the
  // connection ends its body: a body cut off there looks whole.
  bool endsWithConnection() const;

 private:
  std::unique_ptr<detail::CurlRequest> transfer_;
};

// The whole answer to a GET, its body byte for byte, whatever the status. Throws TransferFailed when
// it cannot be had whole.
Answer fetchAnswer(Session &session, const std::string &url);

}  // namespace kf::http
