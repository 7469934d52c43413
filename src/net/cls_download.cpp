#include "net/cls_download.h"

#include <optional>

#include "net/content_length.h"
#include "net/transfer_failure.h"
#include "platform/base/cp1252.h"

namespace kf::net {

namespace {

constexpr int kNoSize = 40502;
constexpr std::int32_t kQueryStatusCode = 19;
constexpr std::int32_t kQueryRawHeaders = 21;
constexpr std::size_t kQueryBufferLength = 1024;

Error invalidArgumentError() {
  return {errors::kInvalidArgument, text::cp1252(u8"Ungültiger Prozeduraufruf oder ungültiges Argument")};
}

}  // namespace

DownloadFailed::DownloadFailed(std::string reason)
    : Error(kNoSize, text::cp1252(u8"Keine Verbindung zum Server oder keine Größenangabe im Response-Header")),
      reason_(std::move(reason)) {}

clsDownload::clsDownload(http::Limits limits, const http::ConnectionPool *pool) : limits_(limits), pool_(pool) {}

std::string clsDownload::QueryInfo(const http::HeadRequest &request, std::int32_t infoLevel) const {
  const std::string &answer = infoLevel == kQueryStatusCode   ? request.statusCode()
                              : infoLevel == kQueryRawHeaders ? request.rawHeaders()
                                                              : std::string();
  // An answer that does not fit the buffer is a failed query: it matches no test of the caller.
  if (answer.size() > kQueryBufferLength) return {};
  return answer;
}

void clsDownload::closeHandles() {
  hFile.reset();
  hInternet.reset();
  hRequest.reset();
  hConnect.reset();
}

void clsDownload::lookAtEvents() {
  if (whileWaiting) whileWaiting();
  if (abortRequested_) throw DownloadAborted();
}

std::size_t clsDownload::readChunk(std::string &buffer) {
  try {
    return hFile->read(buffer.data(), buffer.size());
  } catch (const http::TransferFailed &failed) {
    throw DownloadFailed(failureText(failed.failure));
  }
}

std::string clsDownload::Downloadfile(const std::string &url, std::int32_t chunkBytes, const std::string &userAgent) {
  const bool withScheme = text::lower(url.substr(0, 7)) == "http://";
  const std::string address = withScheme ? url.substr(7) : url;
  closeHandles();
  abortRequested_ = false;
  // A chunk of no bytes would never end the reading.
  if (chunkBytes < 1) throw invalidArgumentError();
  std::string buffer(static_cast<std::size_t>(chunkBytes), ' ');
  try {
    lookAtEvents();
    if (Statechanged) Statechanged(1);
    hInternet = std::make_unique<http::Session>(
        userAgent, http::ProxyUse::System, limits_, [this] { lookAtEvents(); }, pool_);
    return transfer(announcedSize(address), buffer);
  } catch (const DownloadAborted &) {
    // The page in hand is dropped with its connections; nothing waits for the next call to close them.
    closeHandles();
    throw;
  }
}

std::int32_t clsDownload::announcedSize(const std::string &address) {
  const std::size_t slash = address.find('/');
  if (slash == std::string::npos) throw invalidArgumentError();
  hConnect = http::Connection::open(*hInternet, address.substr(0, slash));
  std::string reason = failureText(http::Failure::Unreachable);
  std::optional<std::int32_t> size;
  if (hConnect) {
    hRequest = std::make_unique<http::HeadRequest>(*hConnect, address.substr(slash));
    if (!hRequest->send()) {
      reason = failureText(hRequest->failure());
    } else if (const std::string status = QueryInfo(*hRequest, kQueryStatusCode); status != "200") {
      reason = text::cp1252(u8"Der Server antwortete mit dem Status ") + status + ".";
    } else {
      size = contentLength(QueryInfo(*hRequest, kQueryRawHeaders));
      reason = text::cp1252(u8"Die Antwort des Servers nennt keine Größe.");
    }
  }
  // The GET is opened whatever the HEAD answer said.
  hFile = std::make_unique<http::UrlStream>(*hInternet, "Http://" + address, http::UrlStream::Cache::Bypass);
  // A negative size is no size either: it would turn every progress figure upside down.
  if (!size || *size < 0) throw DownloadFailed(reason);
  return *size;
}

std::string clsDownload::transfer(std::int32_t size, std::string &buffer) {
  if (Statechanged) Statechanged(2);
  if (Startdownloading) Startdownloading(size);
  std::string result;
  bool cancel = false;
  // An answer announced empty is the empty text: there is nothing to read and no progress to report.
  if (size > 0) {
    std::size_t count = readChunk(buffer);
    result.assign(buffer, 0, count);
    while (count == buffer.size() && !cancel) {
      count = readChunk(buffer);
      const double progress = static_cast<double>(result.size()) / size * 100;
      if (Progresschanged) Progresschanged(progress, cancel);
      result.append(buffer, 0, count);
      lookAtEvents();
    }
    // A body that only the end of its connection ends looks whole when it is cut off; the size the
    // HEAD answer announced tells.
    if (!cancel && hFile->endsWithConnection() && result.size() < static_cast<std::size_t>(size)) {
      throw DownloadFailed(failureText(http::Failure::CutOff));
    }
  }
  closeHandles();
  if (Statechanged) Statechanged(0);
  if (cancel) return {};
  return result;
}

}  // namespace kf::net
