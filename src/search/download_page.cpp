#include "search/download_page.h"

#include "platform/error.h"
#include "platform/files.h"

namespace kf::search {
namespace {
constexpr std::int32_t kChunkBytes = 1024;
const std::string kUserAgent = "Download";
}  // namespace

std::string DownloadPage(std::unique_ptr<net::clsDownload> &clsDL, const std::string &address,
                         const std::string &file) {
  clsDL = std::make_unique<net::clsDownload>();
  try {
    const std::string body = clsDL->Downloadfile(address, kChunkBytes, kUserAgent);
    if (files::fileExists(file)) files::removeFile(file);
    files::writeBytes(file, body);
    return body.empty() ? kNoResult : file;
  } catch (const Error &) {
    // The search stops at a page it cannot have; why it failed is not shown to the user.
    return {};
  }
}

}  // namespace kf::search
