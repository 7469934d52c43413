#pragma once
#include <string>

#include "platform/http/http_client.h"

namespace kf::net {

// The whole answer at `address`, its body byte for byte whatever its status; an address without
// "http://" gets it put in front. Always a direct connection with the user agent "VBURLSource".
// While it waits, `whileWaiting` runs at least every 100 ms (see http::WaitHook). Throws
// http::TransferFailed when the answer cannot be had whole.
http::Answer rFetchUrl(const std::string &address, const http::Limits &limits, const http::WaitHook &whileWaiting);

// The body of the page at `address` as rFetchUrl has it, within the limits of a page. The empty text
// is the one failure answer: nothing is shown and nothing is raised. Blocks without pumping events.
std::string rGetUrlSource(const std::string &address);
// The same within other transfer limits.
std::string rGetUrlSource(const std::string &address, const http::Limits &limits);

}  // namespace kf::net
