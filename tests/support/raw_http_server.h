#pragma once
// An HTTP server on a free loopback port that answers with whatever bytes a test hands it: for
// answers no well-behaved server library would give (broken headers, cut-off bodies, silence).
// Each connection is served on a thread of its own; every request head that arrives is recorded.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kf::test {

struct RawRequest {
  std::string head;  // request line and header lines, up to and including the blank line

  std::string requestLine() const;
  std::string method() const;
  std::string target() const;
  // The value of the first header of this name (any letter case), blanks around it removed.
  std::string header(std::string_view name) const;
};

class RawHttpServer;

// One accepted connection, as a handler sees it.
class RawConnection {
 public:
  // False once the client has gone.
  bool send(std::string_view bytes);
  // Holds the connection open without a word until the server stops: a server that hangs.
  void stall();
  // Blocks until the client closes the connection (or the server stops).
  void waitForClose();

 private:
  friend class RawHttpServer;
  RawConnection(RawHttpServer &server, int socket) : server_(server), socket_(socket) {}
  RawHttpServer &server_;
  int socket_;
};

class RawHttpServer {
 public:
  // Called once per request; the connection is closed when it returns.
  using Handler = std::function<void(const RawRequest &request, RawConnection &connection)>;

  explicit RawHttpServer(Handler handler);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer &) = delete;
  RawHttpServer &operator=(const RawHttpServer &) = delete;

  int port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string hostAndPort() const;
  std::vector<RawRequest> requests() const;

 private:
  friend class RawConnection;
  void acceptLoop();
  void serve(int socket);

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::vector<int> open_;
  std::vector<std::thread> workers_;
  std::vector<RawRequest> requests_;
};

// A complete answer with status 200, the given extra header lines (each ended by CR LF), a
// Content-Length that fits the body, and "Connection: close".
std::string rawAnswer(std::string_view body, std::string_view extraHeaders = {});

// A loopback port on which nothing listens.
int unusedPort();

}  // namespace kf::test
