#pragma once
// One libcurl transfer, driven on the caller's thread: the body is taken into a buffer as it
// arrives and handed out on demand, and while the caller waits for more the thread sleeps on the
// transfer's sockets, waking for the session's wait hook. Inside the HTTP client only.
#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/http/http_client.h"

namespace kf::http::detail {

// libcurl's connection cache, shared by the sessions of a ConnectionPool; closed with its last owner.
struct SharedConnections {
  SharedConnections();
  ~SharedConnections();
  SharedConnections(const SharedConnections &) = delete;
  SharedConnections &operator=(const SharedConnections &) = delete;

  CURLSH *const share;
};

struct SessionState {
  SessionState(std::string agent, ProxyUse proxyUse, Limits transferLimits, WaitHook hook,
               std::shared_ptr<SharedConnections> connections);
  ~SessionState();
  SessionState(const SessionState &) = delete;
  SessionState &operator=(const SessionState &) = delete;

  const std::string userAgent;
  const ProxyUse proxy;
  const Limits limits;
  const WaitHook whileWaiting;
  // The transfers of one session share its connection cache, or the pool's when it has one. The
  // pool's goes after the multi handle: it must outlive every transfer that used it.
  const std::shared_ptr<SharedConnections> shared;
  CURLM *const multi;
  // When the wait hook is to run next.
  std::chrono::steady_clock::time_point nextHook;
};

struct CurlRequest {
  enum class Method { Head, Get };
  using Cache = UrlStream::Cache;

  // An address that requestUrl() refuses gives a transfer that has failed before it began.
  CurlRequest(std::shared_ptr<SessionState> session, const std::string &address, Method method, Cache cache);
  ~CurlRequest();
  CurlRequest(const CurlRequest &) = delete;
  CurlRequest &operator=(const CurlRequest &) = delete;

  void start();
  // Runs the transfer until `enough` holds or the transfer has ended.
  void driveUntil(const std::function<bool()> &enough);
  void driveToEnd();

  bool ended() const { return ended_; }
  bool succeeded() const { return ended_ && result_ == CURLE_OK; }
  // Why the transfer failed; meaningful once it has ended without success.
  Failure failure() const;
  std::size_t buffered() const { return body_.size() - bodyRead_; }
  // Moves up to `count` buffered body bytes to `out`; returns how many.
  std::size_t take(char *out, std::size_t count);
  std::string takeAll();

  long statusCode() const;
  // The last answer's status line and header lines, each ended by NUL, and a NUL for the blank line.
  const std::string &headerBlock() const { return headerBlock_; }
  // True once the headers of the answer that ends the redirects are in.
  bool finalHeadersIn() const { return finalHeadersIn_; }
  // True when the final answer carries a Content-Length or chunked transfer encoding.
  bool framed() const { return framed_; }

 private:
  static size_t onBody(char *data, size_t size, size_t count, void *self);
  static size_t onHeader(char *data, size_t size, size_t count, void *self);
  void collectEnded();
  // Sleeps on the sockets until something happens or the wait hook is due, and runs it when it is.
  void wait();

  std::shared_ptr<SessionState> session_;
  std::string url_;
  CURL *easy_ = nullptr;
  curl_slist *headers_ = nullptr;
  curl_slist *resolve_ = nullptr;  // the addresses a pinned host is reached at
  bool added_ = false;
  bool ended_ = false;
  CURLcode result_ = CURLE_OK;

  std::string body_;
  std::size_t bodyRead_ = 0;
  std::size_t bodyTotal_ = 0;

  std::string headerBlock_;
  bool blockClosed_ = false;
  bool redirecting_ = false;
  bool finalHeadersIn_ = false;
  bool framed_ = false;
};

}  // namespace kf::http::detail
