#pragma once
#include <functional>
#include <memory>
#include <string>

#include "net/cls_download.h"

namespace kf::search {

// The answer of DownloadPage for a page that came back empty: the site has no more results.
inline const std::string kNoResult = "no result";

// Fetches one result page through a new download object, which replaces the one in `clsDL` and keeps
// its connections in `pool` for the next page and calls `whileWaiting` while it waits, and
// saves the body under `file`, replacing an older file only once the new one is written whole.
// Answers the file name, or kNoResult for an empty body (the file is then written empty). A page
// that cannot be fetched or saved throws kf::Error whose description tells the user why, in German,
// and leaves an older file of that name as it was; an aborted fetch throws net::DownloadAborted.
std::string DownloadPage(std::unique_ptr<net::clsDownload> &clsDL, const std::string &address, const std::string &file,
                         const http::ConnectionPool &pool, const std::function<void()> &whileWaiting = {});

}  // namespace kf::search
