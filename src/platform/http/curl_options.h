#pragma once
// What every libcurl transfer of the program and its download helper shares: libcurl set up once
// for the process, plain HTTP only (redirects too), the transfer's limits, no signals. Inside the
// platform layer only.
#include <curl/curl.h>

#include <string>

#include "platform/http/limits.h"

namespace kf::http::detail {

// A new easy handle with the shared options and `limits` set; the caller adds its URL, its body
// sink and what is particular to it. Throws std::bad_alloc when libcurl cannot make one.
CURL *newEasy(const Limits &limits, const std::string &userAgent);

// A new multi handle, libcurl set up first. Throws std::bad_alloc when libcurl cannot make one.
CURLM *newMulti();

// A new share handle, libcurl set up first. Throws std::bad_alloc when libcurl cannot make one.
CURLSH *newShare();

}  // namespace kf::http::detail
