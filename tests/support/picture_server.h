#pragma once
// A small picture server on a free loopback port for the cases the bundled site does not offer: a
// body of one byte, and a picture held back until the test lets it go, so that a test can act while
// a transfer is certainly still running.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace kf::test {

class HttpTestServer;

// The first bytes of a JPEG file and a little more: enough for the program to take it as a picture.
std::string jpegBytes(const std::string &tag);

class PictureServer {
 public:
  // GET /one: a body of one byte. GET /held/NAME: jpegBytes(NAME) once release() was called.
  // GET /pic/NAME: jpegBytes(NAME) at once.
  PictureServer();
  ~PictureServer();
  PictureServer(const PictureServer &) = delete;
  PictureServer &operator=(const PictureServer &) = delete;

  std::string address(const std::string &path) const;
  void release();
  // The most requests that were ever being answered at the same time.
  int mostAtOnce();
  int served();

 private:
  void enter();
  void leave();

  std::mutex mutex_;
  std::condition_variable released_;
  bool open_ = false;
  int running_ = 0;
  int mostAtOnce_ = 0;
  int served_ = 0;
  // Last, so that it stops before the state its handlers use goes away.
  std::unique_ptr<HttpTestServer> server_;
};

}  // namespace kf::test
