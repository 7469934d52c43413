#pragma once
// The transfer class the search fetches its result pages with: a HEAD request for the size, then a
// GET read in chunks of a fixed size, reported through three events.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/base/error.h"
#include "platform/http/http_client.h"

namespace kf::net {

// Error 40502, by which callers tell a failed fetch from their own failures, with its fixed German
// description; and the German reason the user can be shown: no answer, an error status, no size, a
// body cut off.
class DownloadFailed : public Error {
 public:
  explicit DownloadFailed(std::string reason);
  const std::string &reason() const { return reason_; }

 private:
  std::string reason_;
};

// A Downloadfile call ended by Abort().
struct DownloadAborted : std::runtime_error {
  DownloadAborted() : std::runtime_error("the transfer was aborted") {}
};

class clsDownload {
 public:
  // With a pool, the calls keep their connections in it for later download objects of the pool.
  explicit clsDownload(http::Limits limits = http::limitsFor(http::TransferKind::Page),
                       const http::ConnectionPool *pool = nullptr);

  // The body at `url` ("http://" optional), read in chunks of `chunkBytes` bytes with the user agent
  // `userAgent` over the system's proxy settings; the empty text when the server announces a size
  // of 0. While it waits for the network it calls whileWaiting at least every 100 ms.
  // Throws DownloadFailed when there is no answer, its status is not 200, it gives no size or the
  // body cannot be had whole (shorter than announced included); kf::Error 5 when the address has no
  // "/" after the host, 6 when the size does not fit 32 bits; DownloadAborted after Abort(). A
  // listener that cancels gets the empty text.
  std::string Downloadfile(const std::string &url, std::int32_t chunkBytes, const std::string &userAgent);

  // Ends the running Downloadfile call after its next call of whileWaiting, which is where the abort
  // can come from: its connections are closed and it throws DownloadAborted.
  void Abort() { abortRequested_ = true; }

  // What a window runs while the call waits for the network: its pending events, so it goes on
  // drawing and taking input. Unset, the call just waits.
  std::function<void()> whileWaiting;

  // Events, in the order they are declared; an unset one has no listener.
  // Per cent of the size received before the chunk just read; set `cancel` to stop.
  std::function<void(double percent, bool &cancel)> Progresschanged;
  // 1 connecting, 2 transferring, 0 finished.
  std::function<void(std::int32_t state)> Statechanged;
  // The size the server announced, once the transfer begins.
  std::function<void(std::int32_t size)> Startdownloading;

 private:
  // One item of the HEAD answer; one over 1024 characters counts as missing, so the page gets no size.
  std::string QueryInfo(const http::HeadRequest &request, std::int32_t infoLevel) const;
  // The size the HEAD answer announces; throws DownloadFailed (after the GET is open) when it has none.
  std::int32_t announcedSize(const std::string &address);
  std::string transfer(std::int32_t size, std::string &buffer);
  std::size_t readChunk(std::string &buffer);
  // Calls whileWaiting; throws DownloadAborted once Abort() was called.
  void lookAtEvents();
  void closeHandles();

  http::Limits limits_;
  const http::ConnectionPool *pool_;
  bool abortRequested_ = false;
  // Kept from one call to the next; a call that fails leaves them for the next call to close.
  std::unique_ptr<http::Session> hInternet;
  std::unique_ptr<http::UrlStream> hFile;
  std::unique_ptr<http::Connection> hConnect;
  std::unique_ptr<http::HeadRequest> hRequest;
};

}  // namespace kf::net
