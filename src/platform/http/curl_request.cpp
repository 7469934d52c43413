#include "platform/http/curl_request.h"

#include <algorithm>
#include <cstring>

#include "platform/base/cp1252.h"
#include "platform/http/curl_options.h"
#include "platform/http/pinned_transfers.h"
#include "platform/http/request_address.h"

namespace kf::http::detail {

namespace {

// Far beyond any real answer's headers, small enough that a hostile server cannot fill memory.
constexpr std::size_t kMaxHeaderBlock = 256 * 1024;
// How long one wait on the sockets may last before curl's own timers are looked at again.
constexpr int kPollMilliseconds = 1000;
// curl's receive buffer: big blocks keep the per-byte cost low when the caller reads small chunks.
constexpr long kReceiveBuffer = 256 * 1024;

bool isRedirect(long code) {
  return code >= 300 && code < 400 && code != 304;
}

}  // namespace

SharedConnections::SharedConnections() : share(newShare()) {
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
}

SharedConnections::~SharedConnections() {
  curl_share_cleanup(share);
}

SessionState::SessionState(std::string agent, ProxyUse proxyUse, Limits transferLimits, WaitHook hook,
                           std::shared_ptr<SharedConnections> connections)
    : userAgent(std::move(agent)),
      proxy(proxyUse),
      limits(transferLimits),
      whileWaiting(std::move(hook)),
      shared(std::move(connections)),
      multi(newMulti()),
      nextHook(std::chrono::steady_clock::now() + kWaitSlice) {}

SessionState::~SessionState() {
  curl_multi_cleanup(multi);
}

CurlRequest::CurlRequest(std::shared_ptr<SessionState> session, const std::string &address, Method method, Cache cache)
    : session_(std::move(session)) {
  const std::optional<std::string> url = requestUrl(address);
  if (!url) {
    ended_ = true;
    result_ = CURLE_URL_MALFORMAT;
    return;
  }
  url_ = *url;
  bool refused = false;
  resolve_ = pinsFor(url_, refused);
  if (refused) {
    ended_ = true;
    result_ = CURLE_COULDNT_CONNECT;
    return;
  }
  const Limits &limits = session_->limits;
  easy_ = newEasy(limits, session_->userAgent);
  curl_easy_setopt(easy_, CURLOPT_URL, url_.c_str());
  if (resolve_) curl_easy_setopt(easy_, CURLOPT_RESOLVE, resolve_);
  curl_easy_setopt(easy_, CURLOPT_PRIVATE, this);
  if (session_->proxy == ProxyUse::Direct) curl_easy_setopt(easy_, CURLOPT_PROXY, "");
  curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  if (session_->shared) curl_easy_setopt(easy_, CURLOPT_SHARE, session_->shared->share);
  // A HEAD answer announces a size without sending it: only a GET is held to the body cap early.
  if (method == Method::Head) {
    curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(easy_, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
  }
  if (cache == Cache::Bypass) {
    headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
    headers_ = curl_slist_append(headers_, "Pragma: no-cache");
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
  }
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::onBody);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::onHeader);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
}

CurlRequest::~CurlRequest() {
  if (added_) curl_multi_remove_handle(session_->multi, easy_);
  if (easy_) curl_easy_cleanup(easy_);
  curl_slist_free_all(headers_);
  curl_slist_free_all(resolve_);
}

void CurlRequest::start() {
  if (ended_ || added_) return;
  if (curl_multi_add_handle(session_->multi, easy_) != CURLM_OK) {
    ended_ = true;
    result_ = CURLE_FAILED_INIT;
    return;
  }
  added_ = true;
}

void CurlRequest::collectEnded() {
  int queued = 0;
  while (CURLMsg *message = curl_multi_info_read(session_->multi, &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    void *owner = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
    auto *transfer = static_cast<CurlRequest *>(owner);
    transfer->ended_ = true;
    transfer->result_ = message->data.result;
    noteEnded(transfer->url_, transfer->result_);
  }
}

void CurlRequest::driveUntil(const std::function<bool()> &enough) {
  start();
  while (!ended_ && !enough()) {
    // More body is only asked for once the caller has taken nearly all there is, so dropping what
    // was taken moves few bytes.
    body_.erase(0, bodyRead_);
    bodyRead_ = 0;
    int running = 0;
    if (curl_multi_perform(session_->multi, &running) != CURLM_OK) {
      ended_ = true;
      result_ = CURLE_RECV_ERROR;
      return;
    }
    collectEnded();
    if (ended_ || enough()) return;
    wait();
  }
}

void CurlRequest::wait() {
  if (!session_->whileWaiting) {
    curl_multi_poll(session_->multi, nullptr, 0, kPollMilliseconds, nullptr);
    return;
  }
  using namespace std::chrono;
  const auto untilHook = duration_cast<milliseconds>(session_->nextHook - steady_clock::now()).count();
  if (untilHook > 0) {
    curl_multi_poll(session_->multi, nullptr, 0, static_cast<int>(std::min<long long>(untilHook, kPollMilliseconds)),
                    nullptr);
  }
  if (steady_clock::now() >= session_->nextHook) {
    session_->nextHook = steady_clock::now() + kWaitSlice;
    session_->whileWaiting();
  }
}

void CurlRequest::driveToEnd() {
  driveUntil([] { return false; });
}

std::size_t CurlRequest::take(char *out, std::size_t count) {
  const std::size_t n = std::min(count, buffered());
  std::memcpy(out, body_.data() + bodyRead_, n);
  bodyRead_ += n;
  return n;
}

std::string CurlRequest::takeAll() {
  body_.erase(0, bodyRead_);
  bodyRead_ = 0;
  return std::move(body_);
}

Failure CurlRequest::failure() const {
  switch (result_) {
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_FAILED_INIT:
      return Failure::Unreachable;
    case CURLE_OPERATION_TIMEDOUT:
      return Failure::TimedOut;
    // The body and header sinks refuse what goes beyond their caps.
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_WRITE_ERROR:
      return Failure::TooLarge;
    default:
      return Failure::CutOff;
  }
}

long CurlRequest::statusCode() const {
  long code = 0;
  if (easy_) curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
  return code;
}

size_t CurlRequest::onBody(char *data, size_t size, size_t count, void *self) {
  auto *transfer = static_cast<CurlRequest *>(self);
  const std::size_t n = size * count;
  // A body beyond the cap ends the transfer with a write error.
  if (n > transfer->session_->limits.maxBodyBytes - transfer->bodyTotal_) return 0;
  transfer->bodyTotal_ += n;
  transfer->body_.append(data, n);
  return n;
}

size_t CurlRequest::onHeader(char *data, size_t size, size_t count, void *self) {
  auto *transfer = static_cast<CurlRequest *>(self);
  const std::size_t n = size * count;
  // Each answer of a redirect chain brings its own block; only the last one counts.
  if (transfer->blockClosed_) {
    transfer->headerBlock_.clear();
    transfer->blockClosed_ = false;
    transfer->redirecting_ = false;
    transfer->framed_ = false;
  }
  std::size_t length = n;
  if (length > 0 && data[length - 1] == '\n') --length;
  if (length > 0 && data[length - 1] == '\r') --length;
  if (transfer->headerBlock_.size() + length + 1 > kMaxHeaderBlock) return 0;
  transfer->headerBlock_.append(data, length);
  transfer->headerBlock_ += '\0';
  const std::string line = text::lower(std::string_view(data, std::min<std::size_t>(length, 64)));
  if (line.starts_with("location:")) transfer->redirecting_ = isRedirect(transfer->statusCode());
  if (line.starts_with("content-length:") ||
      (line.starts_with("transfer-encoding:") && line.find("chunked") != std::string::npos)) {
    transfer->framed_ = true;
  }
  if (length == 0) {
    transfer->blockClosed_ = true;
    const long code = transfer->statusCode();
    transfer->finalHeadersIn_ = code >= 200 && !transfer->redirecting_;
  }
  return n;
}

}  // namespace kf::http::detail
