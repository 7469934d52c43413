#pragma once
// A well-behaved HTTP server on a free loopback port: the test sets up its answers on `routes`
// before start(), and every request that arrives is recorded. The destructor stops the server and
// waits for its thread.
#include <httplib.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kf::test {

struct SeenRequest {
  std::string method;
  std::string target;  // path and query as they came over the wire
  std::string userAgent;
  std::string cacheControl;
  std::string pragma;
  int clientPort = 0;  // the client's end of the connection the request came on
};

class HttpTestServer {
 public:
  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer &) = delete;
  HttpTestServer &operator=(const HttpTestServer &) = delete;

  httplib::Server routes;
  void start();

  int port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<SeenRequest> requests() const;

 private:
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<SeenRequest> seen_;
};

}  // namespace kf::test
