#include "platform/fetch/http_download.h"

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string_view>

#include "platform/fetch/file_name.h"
#include "platform/fetch/part_file.h"
#include "platform/http/curl_options.h"
#include "platform/http/request_address.h"
#include "platform/text/cp1252.h"

namespace kf::fetch {
namespace {

bool isSuccess(long status) {
  return status >= 200 && status <= 299;
}

std::string statusProblem(long status) {
  return "Der Server antwortet mit dem Status " + std::to_string(status) + ".";
}

// Takes one answer in: its headers while they arrive, its body into a part file that is opened with
// the first byte, once the status is known to be a success.
class Receiver {
 public:
  Receiver(CURL *easy, std::string folder, std::string addressName, std::uint64_t maxBytes)
      : easy_(easy), folder_(std::move(folder)), addressName_(std::move(addressName)), maxBytes_(maxBytes) {}

  static size_t onHeader(char *data, size_t size, size_t count, void *self) {
    static_cast<Receiver *>(self)->header(std::string_view(data, size * count));
    return size * count;
  }

  static size_t onBody(char *data, size_t size, size_t count, void *self) {
    return static_cast<Receiver *>(self)->body(data, size * count) ? size * count : 0;
  }

  // The part file, opened now when the body was empty.
  PartFile &part() {
    if (!part_) part_.emplace(folder_, fileName());
    return *part_;
  }

  long status() const {
    long code = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
    return code;
  }
  const std::string &problem() const { return problem_; }

 private:
  void header(std::string_view line) {
    // A new status line starts the headers of the next answer (after a redirect).
    if (line.starts_with("HTTP/")) disposition_.reset();
    constexpr std::string_view kDisposition = "content-disposition:";
    if (text::lower(line.substr(0, kDisposition.size())) == kDisposition) {
      line.remove_prefix(kDisposition.size());
      while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
      disposition_ = std::string(line);
    }
  }

  bool body(const char *data, std::size_t count) {
    if (!part_) {
      if (!isSuccess(status())) {
        problem_ = statusProblem(status());
        return false;
      }
    }
    received_ += count;
    if (received_ > maxBytes_) {
      problem_ = "Die Datei ist zu groß.";
      return false;
    }
    try {
      part().write(data, count);
    } catch (const SaveFailed &failure) {
      problem_ = failure.what();
      return false;
    }
    return true;
  }

  std::string fileName() const {
    const std::optional<std::string> suggested =
        disposition_ ? nameFromContentDisposition(*disposition_) : std::nullopt;
    return safeFileName(suggested && !suggested->empty() ? *suggested : addressName_);
  }

  CURL *easy_;
  std::string folder_;
  std::string addressName_;
  std::uint64_t maxBytes_;
  std::uint64_t received_ = 0;
  std::optional<std::string> disposition_;
  std::optional<PartFile> part_;
  std::string problem_;
};

struct EasyDeleter {
  void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
};

}  // namespace

DownloadResult downloadFile(const std::string &address, const std::string &folder, const http::Limits &limits) {
  const std::optional<std::string> url = http::requestUrl(address);
  if (!url) return {false, {}, "Die Adresse ist keine http-Adresse: " + address};
  const std::unique_ptr<CURL, EasyDeleter> easy(http::detail::newEasy(limits, "klipfang-fetch"));
  Receiver receiver(easy.get(), folder, nameFromAddress(*url), limits.maxBodyBytes);
  char curlError[CURL_ERROR_SIZE] = {};

  CURL *e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url->c_str());
  // The file comes from the site that served the watch page, which is reached directly as well.
  curl_easy_setopt(e, CURLOPT_PROXY, "");
  curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Receiver::onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &receiver);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Receiver::onBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &receiver);
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, curlError);

  const CURLcode result = curl_easy_perform(e);
  if (result != CURLE_OK) {
    if (!receiver.problem().empty()) return {false, {}, receiver.problem()};
    return {
        false, {}, std::string("Übertragung abgebrochen: ") + (curlError[0] ? curlError : curl_easy_strerror(result))};
  }
  if (!isSuccess(receiver.status())) return {false, {}, statusProblem(receiver.status())};
  try {
    return {true, receiver.part().finish(), {}};
  } catch (const SaveFailed &failure) {
    return {false, {}, failure.what()};
  }
}

}  // namespace kf::fetch
