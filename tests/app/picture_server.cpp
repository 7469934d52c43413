#include "app/picture_server.h"

#include <httplib.h>

#include <stdexcept>

namespace kf::test {

std::string jpegBytes(const std::string &tag) {
  return std::string("\xFF\xD8\xFF\xE0", 4) + "picture " + tag;
}

PictureServer::PictureServer() : server_(std::make_unique<httplib::Server>()) {
  server_->Get("/one", [this](const httplib::Request &, httplib::Response &res) {
    enter();
    res.set_content("X", "image/jpeg");
    leave();
  });
  server_->Get(R"(/pic/(.+))", [this](const httplib::Request &req, httplib::Response &res) {
    enter();
    res.set_content(jpegBytes(req.matches[1]), "image/jpeg");
    leave();
  });
  server_->Get(R"(/held/(.+))", [this](const httplib::Request &req, httplib::Response &res) {
    enter();
    {
      std::unique_lock lock(mutex_);
      released_.wait(lock, [this] { return open_; });
    }
    res.set_content(jpegBytes(req.matches[1]), "image/jpeg");
    leave();
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("picture server: no free port");
  // The socket listens from here on; connections wait in its queue until the thread accepts them.
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

PictureServer::~PictureServer() {
  release();
  server_->stop();
  thread_.join();
}

std::string PictureServer::address(const std::string &path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
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
