#pragma once
// The transfer class the search fetches its result pages with: a HEAD request for the size, then a
// GET read in chunks of a fixed size, reported through three events.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/http/http_client.h"

namespace kf::net {

class clsDownload {
 public:
  explicit clsDownload(http::Limits limits = {});

  // The body at URL ("http://" optional), read in chunks of `bytes` bytes with the user agent
  // Useragent over the system's proxy settings. Throws kf::Error 40502 when the server gives no
  // size or the body cannot be had whole, 5 when the address has no "/" after the host, 6 when the
  // size does not fit 32 bits. A listener that cancels gets the empty text.
  std::string Downloadfile(const std::string &URL, std::int32_t bytes, const std::string &Useragent);

  // Events, in the order they are declared; an unset one has no listener.
  // Per cent of the size received before the chunk just read; set Cancel to stop.
  std::function<void(double Progress, bool &Cancel)> Progresschanged;
  // 1 connecting, 2 transferring, 0 finished.
  std::function<void(std::int32_t State)> Statechanged;
  // The size the server announced, once the transfer begins.
  std::function<void(std::int32_t Size)> Startdownloading;

 private:
  // Queries the HEAD answer the way the program always has: into a buffer of 1024 characters.
  std::string QueryInfo(const http::HeadRequest &request, std::int32_t infoLevel) const;
  void closeHandles();

  http::Limits limits_;
  // Kept from one call to the next; a call that fails leaves them for the next call to close.
  std::unique_ptr<http::Session> hInternet;
  std::unique_ptr<http::UrlStream> hFile;
  std::unique_ptr<http::Connection> hConnect;
  std::unique_ptr<http::HeadRequest> hRequest;
};

}  // namespace kf::net
