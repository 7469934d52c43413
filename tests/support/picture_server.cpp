#include "support/picture_server.h"

#include <algorithm>

#include "support/http_test_server.h"

namespace kf::test {

std::string jpegBytes(const std::string &tag) {
  return std::string("\xFF\xD8\xFF\xE0", 4) + "picture " + tag;
}

PictureServer::PictureServer() : server_(std::make_unique<HttpTestServer>()) {
  server_->routes.Get("/one", [this](const httplib::Request &, httplib::Response &res) {
    enter();
    res.set_content("X", "image/jpeg");
    leave();
  });
  server_->routes.Get(R"(/pic/(.+))", [this](const httplib::Request &req, httplib::Response &res) {
    enter();
    res.set_content(jpegBytes(req.matches[1]), "image/jpeg");
    leave();
  });
  server_->routes.Get(R"(/held/(.+))", [this](const httplib::Request &req, httplib::Response &res) {
    enter();
    {
      std::unique_lock lock(mutex_);
      released_.wait(lock, [this] { return open_; });
    }
    res.set_content(jpegBytes(req.matches[1]), "image/jpeg");
    leave();
  });
  server_->start();
}

// A held request keeps the server from stopping, so it is let go first.
PictureServer::~PictureServer() {
  release();
}

std::string PictureServer::address(const std::string &path) const {
  return "http://" + server_->hostAndPort() + path;
}

void PictureServer::release() {
  {
    std::lock_guard lock(mutex_);
    open_ = true;
  }
  released_.notify_all();
}

void PictureServer::enter() {
  std::lock_guard lock(mutex_);
  ++running_;
  mostAtOnce_ = std::max(mostAtOnce_, running_);
}

void PictureServer::leave() {
  std::lock_guard lock(mutex_);
  --running_;
  ++served_;
}

int PictureServer::mostAtOnce() {
  std::lock_guard lock(mutex_);
  return mostAtOnce_;
}

int PictureServer::served() {
  std::lock_guard lock(mutex_);
  return served_;
}

}  // namespace kf::test
