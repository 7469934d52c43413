#include "support/http_test_server.h"

#include <chrono>
#include <stdexcept>

namespace kf::test {

HttpTestServer::HttpTestServer() {
  // Recorded before the answer goes out, so a client that has its answer finds its request here.
  routes.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
    std::lock_guard lock(mutex_);
    seen_.push_back({request.method, request.target, request.get_header_value("User-Agent"),
                     request.get_header_value("Cache-Control"), request.get_header_value("Pragma"),
                     request.remote_port});
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

HttpTestServer::~HttpTestServer() {
  routes.stop();
  if (thread_.joinable()) thread_.join();
}

void HttpTestServer::start() {
  port_ = routes.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("test server: no free loopback port");
  // The socket listens from the bind on, so requests wait in its queue until the thread accepts them.
  thread_ = std::thread([this] { routes.listen_after_bind(); });
  // Waiting here only keeps a stop() from coming before the server runs, which it would not see.
  while (!routes.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::vector<SeenRequest> HttpTestServer::requests() const {
  std::lock_guard lock(mutex_);
  return seen_;
}

}  // namespace kf::test
