#pragma once
// Saving the file an address answers into a folder, over plain HTTP and within fixed bounds.
#include <string>

#include "platform/http/limits.h"

namespace kf::fetch {

struct DownloadResult {
  bool saved = false;
  std::string path;     // the saved file
  std::string problem;  // why nothing was saved, for the user (UTF-8)
};

// GETs `address` and saves a successful answer's body whole under the name the answer or the address
// suggests, never over an existing file. Anything else (no connection, a status other than 2xx, a
// body cut off or over the limit, a full disk) leaves nothing in the folder.
DownloadResult downloadFile(const std::string &address, const std::string &folder,
                            const http::Limits &limits = http::limitsFor(http::TransferKind::File));

}  // namespace kf::fetch
