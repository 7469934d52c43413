#include "platform/http/internet_transfer.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>
#include <utility>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/http/http_client.h"
#include "platform/http/request_address.h"

namespace kf::http {

struct InternetTransfer::Outcome {
  bool completed = false;
  std::string body;
};

// What the worker and the events it posts share with the transfer object. `owner` is read and
// cleared on the user-interface thread only; `cancelled` tells a running worker to stop.
struct InternetTransfer::Link {
  InternetTransfer *owner = nullptr;
  std::atomic<bool> cancelled{false};
};

namespace {

// Thrown by the worker's wait hook to drop a transfer whose owner has gone.
struct Cancelled {};

// Runs on the worker thread; touches nothing but its arguments. Nothing when the answer could not be
// had whole or the owner went: each of those ends the transfer in the error state.
std::optional<http::Answer> fetch(const std::string &url, const http::Limits &limits,
                                  const std::atomic<bool> &cancelled) {
  try {
    http::Session session("Klipfang", http::ProxyUse::System, limits, [&cancelled] {
      if (cancelled) throw Cancelled{};
    });
    return http::fetchAnswer(session, url);
  } catch (const http::TransferFailed &) {
  } catch (const Cancelled &) {
  } catch (const std::bad_alloc &) {
  }
  return std::nullopt;
}

}  // namespace

InternetTransfer::InternetTransfer(PostToWindow post, http::Limits limits)
    : post_(std::move(post)), limits_(limits), link_(std::make_shared<Link>()) {
  link_->owner = this;
}

InternetTransfer::~InternetTransfer() {
  link_->owner = nullptr;
  link_->cancelled = true;
  if (worker_.joinable()) worker_.join();
}

void InternetTransfer::execute(const std::string &address) {
  if (executing_) throw Error(errors::kStillExecuting, text::cp1252(u8"Der Vorgang wird noch ausgeführt."));
  const auto url = http::requestUrl(address);
  if (!url) throw Error(kErrorBadAddress, text::cp1252(u8"Die Adresse ist keine gültige HTTP-Adresse."));
  body_.clear();
  bodyRead_ = 0;
  worker_ = std::thread([link = link_, url = *url, limits = limits_, post = post_] {
    std::optional<http::Answer> answer = fetch(url, limits, link->cancelled);
    Outcome outcome{answer.has_value(), answer ? std::move(answer->body) : std::string()};
    post([link, outcome = std::move(outcome)]() mutable {
      if (link->owner) link->owner->finished(std::move(outcome));
    });
  });
  executing_ = true;
}

void InternetTransfer::finished(Outcome outcome) {
  // The worker's last act was to post this; it is ending now.
  worker_.join();
  executing_ = false;
  body_ = std::move(outcome.body);
  if (onStateChanged) onStateChanged(outcome.completed ? kStateResponseCompleted : kStateError);
}

std::string InternetTransfer::getChunk(std::size_t maxBytes) {
  const std::size_t count = std::min(maxBytes, body_.size() - bodyRead_);
  std::string piece = body_.substr(bodyRead_, count);
  bodyRead_ += count;
  return piece;
}

}  // namespace kf::http
