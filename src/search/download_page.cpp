#include "search/download_page.h"

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/whole_file.h"

namespace kf::search {
namespace {
constexpr std::int32_t kChunkBytes = 1024;
const std::string kUserAgent = "Download";

std::string fetched(net::clsDownload &download, const std::string &address) {
  const std::string failed = text::cp1252(u8"Die Ergebnisseite konnte nicht geladen werden.\n\n");
  try {
    return download.Downloadfile(address, kChunkBytes, kUserAgent);
  } catch (const net::DownloadFailed &failure) {
    throw Error(failure.number(), failed + failure.reason());
  } catch (const Error &error) {
    throw Error(error.number(), failed + error.description());
  }
}
}  // namespace

std::string DownloadPage(std::unique_ptr<net::clsDownload> &clsDL, const std::string &address, const std::string &file,
                         const http::ConnectionPool &pool, const std::function<void()> &whileWaiting) {
  clsDL = std::make_unique<net::clsDownload>(http::limitsFor(http::TransferKind::Page), &pool);
  clsDL->whileWaiting = whileWaiting;
  const std::string body = fetched(*clsDL, address);
  try {
    files::replaceWithBytes(file, body);
  } catch (const Error &error) {
    throw Error(error.number(),
                text::cp1252(u8"Die Ergebnisseite konnte nicht gespeichert werden.\n\n") + error.description());
  }
  return body.empty() ? kNoResult : file;
}

}  // namespace kf::search
