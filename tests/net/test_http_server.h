#pragma once
// A well-behaved HTTP server on a free loopback port for the fetcher tests: routes are added to
// `routes` before start(), and every request that arrives is recorded.
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
};

class TestHttpServer {
 public:
  TestHttpServer();
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer &) = delete;
  TestHttpServer &operator=(const TestHttpServer &) = delete;

  httplib::Server routes;
  void start();

  int port() const { return port_; }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<SeenRequest> requests() const;

 private:
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<SeenRequest> seen_;
};

// A body of `size` bytes that runs through every byte value, so a changed or lost byte shows.
std::string patternBody(std::size_t size);

}  // namespace kf::test
