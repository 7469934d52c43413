#pragma once
// The asynchronous transfer the preview picture is fetched with: a GET of the program's HTTP client
// runs on a thread of its own while the user-interface thread goes on handling events; when it ends,
// the state-changed event is raised on that thread (through the post it was given), and the body can
// then be read in pieces. One transfer at a time.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/base/post_to_window.h"
#include "platform/http/limits.h"

namespace kf::http {

// The codes the state-changed event carries.
constexpr int kStateError = 11;
constexpr int kStateResponseCompleted = 12;

// The error numbers execute() raises (kf::Error).
constexpr int kErrorBadAddress = 35751;

class InternetTransfer {
 public:
  // Reports to the user-interface thread through `post`. A transfer that hits one of `limits` ends in
  // the error state.
  explicit InternetTransfer(PostToWindow post, http::Limits limits = http::limitsFor(http::TransferKind::Picture));
  // A transfer still running is cut off, its connection closed; its event is never raised.
  ~InternetTransfer();
  InternetTransfer(const InternetTransfer &) = delete;
  InternetTransfer &operator=(const InternetTransfer &) = delete;

  // Starts a GET of `address` ("http://host[:port]/path"). Raises kf::Error while the last transfer
  // still runs (errors::kStillExecuting) and for an address that is not plain http
  // (kErrorBadAddress). The body of the last transfer is gone from here on.
  void execute(const std::string &address);

  // True from execute() until the state-changed event of that transfer has been raised.
  bool stillExecuting() const { return executing_; }

  // The next piece of the body of the response completed last, at most maxBytes long; empty once
  // everything has been read. Whatever the status code, the body is the server's answer.
  std::string getChunk(std::size_t maxBytes);

  // Raised on the user-interface thread with kStateResponseCompleted or kStateError.
  std::function<void(int state)> onStateChanged;

 private:
  struct Outcome;
  struct Link;
  void finished(Outcome outcome);

  PostToWindow post_;
  http::Limits limits_;
  std::shared_ptr<Link> link_;
  std::thread worker_;
  bool executing_ = false;
  std::string body_;
  std::size_t bodyRead_ = 0;
};

}  // namespace kf::http
