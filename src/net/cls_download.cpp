#include "net/cls_download.h"

#include "net/busy_pointer.h"
#include "net/content_length.h"
#include "platform/error.h"
#include "platform/text/cp1252.h"
#include "platform/toolkit.h"

namespace kf::net {

namespace {

constexpr int kNoSize = 40502;
constexpr std::int32_t kQueryStatusCode = 19;
constexpr std::int32_t kQueryRawHeaders = 21;
constexpr std::size_t kQueryBufferLength = 1024;

Error noSizeError() {
  return Error(kNoSize, text::cp1252(u8"Keine Verbindung zum Server oder keine Größenangabe im Response-Header"));
}

Error invalidArgumentError() {
  return Error(errors::kInvalidArgument, text::cp1252(u8"Ungültiger Prozeduraufruf oder ungültiges Argument"));
}

// A body that cannot be had whole fails the call like a server that gave no size.
std::size_t readChunk(http::UrlStream &file, std::string &buffer) {
  try {
    return file.read(buffer.data(), buffer.size());
  } catch (const http::TransferFailed &) {
    throw noSizeError();
  }
}

}  // namespace

clsDownload::clsDownload(http::Limits limits) : limits_(limits) {}

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

std::string clsDownload::Downloadfile(const std::string &URL, std::int32_t bytes, const std::string &Useragent) {
  const bool withScheme = text::lower(URL.substr(0, 7)) == "http://";
  const std::string address = withScheme ? URL.substr(7) : URL;
  ui::Toolkit &toolkit = ui::toolkit();
  const BusyPointer busy;
  closeHandles();
  // A chunk of no bytes would never end the reading.
  if (bytes < 1) throw invalidArgumentError();
  std::string buffer(static_cast<std::size_t>(bytes), ' ');
  toolkit.doEvents();
  if (Statechanged) Statechanged(1);

  hInternet = std::make_unique<http::Session>(Useragent, http::ProxyUse::System, limits_);
  const std::size_t slash = address.find('/');
  if (slash == std::string::npos) throw invalidArgumentError();
  hConnect = http::Connection::open(*hInternet, address.substr(0, slash));
  std::int32_t size = 0;
  if (hConnect) {
    hRequest = std::make_unique<http::HeadRequest>(*hConnect, address.substr(slash));
    if (hRequest->send() && QueryInfo(*hRequest, kQueryStatusCode) == "200") {
      size = contentLength(QueryInfo(*hRequest, kQueryRawHeaders));
    }
  }
  hFile = std::make_unique<http::UrlStream>(*hInternet, "Http://" + address, http::UrlStream::Cache::Bypass);
  // A negative size is no size either: it would turn every progress figure upside down.
  if (size <= 0) throw noSizeError();

  if (Statechanged) Statechanged(2);
  if (Startdownloading) Startdownloading(size);
  std::size_t count = readChunk(*hFile, buffer);
  std::string result = buffer.substr(0, count);
  bool cancel = false;
  while (count == buffer.size() && !cancel) {
    count = readChunk(*hFile, buffer);
    const double progress = static_cast<double>(result.size()) / size * 100;
    if (Progresschanged) Progresschanged(progress, cancel);
    result.append(buffer, 0, count);
    toolkit.doEvents();
  }
  closeHandles();
  if (Statechanged) Statechanged(0);
  if (cancel) return {};
  return result;
}

}  // namespace kf::net
