#include "test_http_server.h"

#include <chrono>
#include <stdexcept>

namespace kf::test {

TestHttpServer::TestHttpServer() {
  // Recorded before the answer goes out, so a client that has its answer finds its request here.
  routes.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
    std::lock_guard lock(mutex_);
    seen_.push_back({request.method, request.target, request.get_header_value("User-Agent"),
                     request.get_header_value("Cache-Control"), request.get_header_value("Pragma")});
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

TestHttpServer::~TestHttpServer() {
  routes.stop();
  if (thread_.joinable()) thread_.join();
}

void TestHttpServer::start() {
  port_ = routes.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("test server: no port");
  thread_ = std::thread([this] { routes.listen_after_bind(); });
  // The socket already listens; waiting here only keeps stop() from racing the server's start.
  while (!routes.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::vector<SeenRequest> TestHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return seen_;
}

std::string patternBody(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return body;
}

}  // namespace kf::test
