#pragma once
// How a transfer meets the pinned hosts (host_pins.h). Inside the platform layer only.
#include <curl/curl.h>

#include <string>

namespace kf::http::detail {

// For a transfer to `url`: the list for CURLOPT_RESOLVE that the caller sets and frees after the
// transfer (null when its host is not pinned). A host whose last connection failed is checked
// again first; `refused` is then set when it must not be used, and no list is made.
curl_slist *pinsFor(const std::string &url, bool &refused);

// A transfer to `url` ended with `result`: a connection that failed has its host checked again.
void noteEnded(const std::string &url, CURLcode result);

}  // namespace kf::http::detail
