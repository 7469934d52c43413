#include "platform/http/file_transfer.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <new>
#include <variant>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/http/curl_options.h"
#include "platform/http/file_answer.h"
#include "platform/http/request_address.h"

namespace kf::http {

using Clock = std::chrono::steady_clock;

namespace {

// A cancel and the sink's end can come at the same time, the one on the window thread, the other on
// the worker's: whichever takes the lock first wins. A file the sink has made whole stays whole, and a
// cancelled transfer never ends its sink.
struct Settlement {
  std::mutex mutex;
  std::atomic<bool> cancelled{false};  // also read without the lock, to stop between pieces
  bool completed = false;
};

}  // namespace

// What the worker and the events it posts share with the transfer object. `owner` is read and
// cleared on the window thread only; `multi` lets the window thread wake the worker from its wait on
// the sockets.
struct FileTransfer::Shared {
  FileTransfer *owner = nullptr;
  Settlement settlement;
  CURLM *multi = nullptr;
};

namespace {

constexpr auto kProgressEvery = std::chrono::milliseconds(250);

// One answer taken in on the worker thread: its head line by line, then its body into the sink.
class Receiver {
 public:
  Receiver(const FileRequest &request, FileSink &sink, const Limits &limits, Settlement &settlement)
      : request_(request), sink_(sink), limits_(limits), settlement_(settlement) {}

  static size_t onHeader(char *data, size_t size, size_t count, void *self) {
    auto &receiver = *static_cast<Receiver *>(self);
    const std::string_view line(data, size * count);
    receiver.head_.take(line);
    // The blank line ends a head: the final answer is judged before any of its body is taken.
    const bool headEnds = line == "\r\n" || line == "\n";
    if (headEnds && receiver.head_.isFinal() && !receiver.begin()) return 0;
    return size * count;
  }

  static size_t onBody(char *data, size_t size, size_t count, void *self) {
    auto &receiver = *static_cast<Receiver *>(self);
    return receiver.body(std::string_view(data, size * count)) ? size * count : 0;
  }

  // After the transfer has ended without a fault of libcurl's.
  FileOutcome finish() {
    if (!begin()) return failed();
    if (answer_.size && bytes() < *answer_.size) return cutOff();
    if (answer_.size && bytes() > *answer_.size) {
      return refuse(text::cp1252(u8"Der Server schickt mehr Bytes, als die Datei hat."), false);
    }
    std::lock_guard lock(settlement_.mutex);
    if (settlement_.cancelled) return refuse({}, true);
    try {
      sink_.end();
    } catch (const Error &error) {
      return refuse(error.description(), false);
    }
    settlement_.completed = true;
    return {true, {}, true, progress()};
  }

  FileOutcome failed(CURLcode result = CURLE_OK, const char *curlError = "") {
    if (!outcome_.problem.empty() || result == CURLE_OK) return outcome_;
    switch (result) {
      case CURLE_PARTIAL_FILE:
      case CURLE_RECV_ERROR:
      case CURLE_GOT_NOTHING:
        return cutOff();
      case CURLE_COULDNT_CONNECT:
        return refuse(text::cp1252(u8"Der Server ist nicht erreichbar."), true);
      case CURLE_COULDNT_RESOLVE_HOST:
        return refuse(text::cp1252(u8"Der Servername ist unbekannt."), true);
      case CURLE_OPERATION_TIMEDOUT:
        return refuse(text::cp1252(u8"Der Server antwortet nicht mehr."), true);
      default:
        return refuse(
            text::cp1252(u8"Übertragung abgebrochen: ") + (curlError[0] ? curlError : curl_easy_strerror(result)),
            true);
    }
  }

  FileProgress progress() const { return {bytes(), answer_.size, Clock::now()}; }

 private:
  std::uint64_t bytes() const { return begun_ ? answer_.startsAt + received_ : request_.resumeFrom; }

  FileOutcome refuse(std::string problem, bool bytesUsable) {
    outcome_ = {false, std::move(problem), bytesUsable, progress()};
    return outcome_;
  }

  FileOutcome cutOff() {
    return refuse(text::cp1252(u8"Die Verbindung brach ab, bevor die Datei vollständig war."), true);
  }

  // Judges the final answer once and lets the sink begin; false when the answer is refused.
  bool begin() {
    if (begun_) return true;
    if (!outcome_.problem.empty()) return false;
    const auto answer = detail::readAnswer(head_, request_, limits_.maxBodyBytes);
    if (const auto *refusal = std::get_if<detail::Refusal>(&answer)) {
      refuse(refusal->problem, refusal->bytesUsable);
      return false;
    }
    answer_ = std::get<FileAnswer>(answer);
    try {
      sink_.begin(answer_);
    } catch (const Error &error) {
      refuse(error.description(), false);
      return false;
    }
    begun_ = true;
    return true;
  }

  bool body(std::string_view bytes) {
    if (settlement_.cancelled || !begin()) return false;
    received_ += bytes.size();
    if (answer_.startsAt + received_ > limits_.maxBodyBytes) {
      refuse(text::cp1252(u8"Die Datei ist größer, als ein Download sein darf."), false);
      return false;
    }
    try {
      sink_.write(bytes);
    } catch (const Error &error) {
      refuse(error.description(), false);
      return false;
    }
    return true;
  }

  const FileRequest &request_;
  FileSink &sink_;
  const Limits &limits_;
  Settlement &settlement_;
  detail::AnswerHead head_;
  FileAnswer answer_;
  bool begun_ = false;
  std::uint64_t received_ = 0;
  FileOutcome outcome_;
};

struct EasyHandle {
  CURL *easy = nullptr;
  curl_slist *headers = nullptr;
  ~EasyHandle() {
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
  }
};

// Runs on the worker thread: the whole exchange, with a progress report posted every quarter second.
FileOutcome transfer(const FileRequest &request, const std::string &url, FileSink &sink, const Limits &limits,
                     CURLM *multi, Settlement &settlement, const FileTransfer::ProgressHandler &report) {
  Receiver receiver(request, sink, limits, settlement);
  EasyHandle handle;
  try {
    handle.easy = detail::newEasy(limits, "klipfang-fetch");
  } catch (const std::bad_alloc &) {
    return receiver.failed(CURLE_OUT_OF_MEMORY);
  }
  char curlError[CURL_ERROR_SIZE] = {};
  CURL *easy = handle.easy;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  // The file comes from the site that served the watch page, which is reached directly as well.
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Receiver::onHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &receiver);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Receiver::onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &receiver);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, curlError);
  if (request.resumeFrom > 0 && !request.validator.empty()) {
    // Asked for as a plain header pair, not as libcurl's resume, which fails where the server sends
    // the whole file; here that answer is taken from its start.
    const std::string range = std::to_string(request.resumeFrom) + "-";
    curl_easy_setopt(easy, CURLOPT_RANGE, range.c_str());
    handle.headers = curl_slist_append(nullptr, ("If-Range: " + request.validator).c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, handle.headers);
  }

  curl_multi_add_handle(multi, easy);
  auto lastReport = Clock::now();
  int running = 1;
  while (running > 0 && !settlement.cancelled) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (running > 0) curl_multi_poll(multi, nullptr, 0, static_cast<int>(kProgressEvery.count()), nullptr);
    if (Clock::now() - lastReport >= kProgressEvery) {
      lastReport = Clock::now();
      report(receiver.progress());
    }
  }
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  int left = 0;
  while (const CURLMsg *message = curl_multi_info_read(multi, &left)) {
    if (message->msg == CURLMSG_DONE) result = message->data.result;
  }
  curl_multi_remove_handle(multi, easy);
  return result == CURLE_OK ? receiver.finish() : receiver.failed(result, curlError);
}

}  // namespace

FileTransfer::FileTransfer(FileRequest request, FileSink &sink, ProgressHandler onProgress, EndHandler onEnd,
                           PostToWindow post, const Limits &limits)
    : shared_(std::make_shared<Shared>()), onProgress_(std::move(onProgress)), onEnd_(std::move(onEnd)) {
  shared_->owner = this;
  shared_->multi = detail::newMulti();
  if (request.validator.empty()) request.resumeFrom = 0;
  worker_ = std::thread([shared = shared_, request = std::move(request), &sink, limits, post = std::move(post)] {
    const auto report = [&](const FileProgress &progress) {
      post([shared, progress] {
        if (shared->owner) shared->owner->onProgress_(progress);
      });
    };
    const std::optional<std::string> url = requestUrl(request.address);
    const FileOutcome outcome =
        url ? transfer(request, *url, sink, limits, shared->multi, shared->settlement, report)
            : FileOutcome{false, text::cp1252(u8"Die Adresse ist keine http-Adresse."), false, {}};
    post([shared, outcome] {
      if (shared->owner) shared->owner->ended(outcome);
    });
  });
}

FileTransfer::~FileTransfer() {
  stop();
  curl_multi_cleanup(shared_->multi);
}

bool FileTransfer::cancel() {
  {
    std::lock_guard lock(shared_->settlement.mutex);
    if (shared_->settlement.completed) return false;
    shared_->settlement.cancelled = true;
  }
  stop();
  return true;
}

void FileTransfer::stop() {
  shared_->owner = nullptr;
  shared_->settlement.cancelled = true;
  curl_multi_wakeup(shared_->multi);
  if (worker_.joinable()) worker_.join();
}

void FileTransfer::ended(const FileOutcome &outcome) {
  // The worker's last act was to post this; it is ending now.
  worker_.join();
  shared_->owner = nullptr;
  // The handler may end this transfer's owner, and with it this object.
  const EndHandler onEnd = std::move(onEnd_);
  onEnd(outcome);
}

}  // namespace kf::http
