#include "platform/transfer/internet_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

#include "platform/error.h"
#include "platform/http/curl_options.h"
#include "platform/http/request_address.h"
#include "platform/text/cp1252.h"
#include "platform/toolkit.h"

namespace kf::transfer {

struct InternetTransfer::Outcome {
  bool completed = false;
  long responseCode = 0;
  std::string body;
};

// What the worker and the events it posts share with the transfer object. `owner` is read and
// cleared on the user-interface thread only; `cancelled` tells a running worker to stop.
struct InternetTransfer::Link {
  InternetTransfer *owner = nullptr;
  std::atomic<bool> cancelled{false};
};

namespace {

struct Receiver {
  std::string body;
  std::uint64_t cap = 0;
  const std::atomic<bool> *cancelled = nullptr;
};

size_t onBody(char *data, size_t size, size_t count, void *userData) {
  auto &receiver = *static_cast<Receiver *>(userData);
  const size_t bytes = size * count;
  // Answering fewer bytes than offered makes libcurl end the transfer with an error.
  if (receiver.body.size() + bytes > receiver.cap) return 0;
  receiver.body.append(data, bytes);
  return bytes;
}

int onProgress(void *userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Receiver *>(userData)->cancelled->load() ? 1 : 0;
}

// Runs on the worker thread; touches nothing but its arguments.
std::pair<bool, long> fetch(const std::string &url, const http::Limits &limits, Receiver &receiver) {
  CURL *easy = nullptr;
  try {
    easy = http::detail::newEasy(limits, "Klipfang");
  } catch (const std::bad_alloc &) {
    return {false, 0};
  }
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &receiver);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &receiver);
  const CURLcode result = curl_easy_perform(easy);
  long code = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
  curl_easy_cleanup(easy);
  return {result == CURLE_OK, code};
}

}  // namespace

InternetTransfer::InternetTransfer(http::Limits limits) : limits_(limits), link_(std::make_shared<Link>()) {
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
  responseCode_ = 0;
  ui::Toolkit &toolkit = ui::toolkit();
  worker_ = std::thread([link = link_, url = *url, limits = limits_, &toolkit] {
    Receiver receiver;
    receiver.cap = limits.maxBodyBytes;
    receiver.cancelled = &link->cancelled;
    const auto [completed, code] = fetch(url, limits, receiver);
    Outcome outcome{completed, code, completed ? std::move(receiver.body) : std::string()};
    toolkit.post([link, outcome = std::move(outcome)]() mutable {
      if (link->owner) link->owner->finished(std::move(outcome));
    });
  });
  executing_ = true;
}

void InternetTransfer::finished(Outcome outcome) {
  // The worker's last act was to post this; it is ending now.
  worker_.join();
  executing_ = false;
  responseCode_ = outcome.responseCode;
  body_ = std::move(outcome.body);
  if (onStateChanged) onStateChanged(outcome.completed ? kStateResponseCompleted : kStateError);
}

std::string InternetTransfer::getChunk(std::size_t maxBytes) {
  const std::size_t count = std::min(maxBytes, body_.size() - bodyRead_);
  std::string piece = body_.substr(bodyRead_, count);
  bodyRead_ += count;
  return piece;
}

}  // namespace kf::transfer
