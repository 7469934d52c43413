#pragma once
#include <string>

#include "platform/http/http_client.h"

namespace kf::net {

// The whole body of the page at `address`, byte for byte, whatever its status; an address without
// "http://" gets it put in front. Always a direct connection with the user agent "VBURLSource".
// The empty text is the one failure answer: nothing is shown and nothing is raised. Blocks without
// pumping events; callers show the busy pointer around it.
std::string rGetUrlSource(const std::string &address);
// The same within other transfer limits.
std::string rGetUrlSource(const std::string &address, const http::Limits &limits);

}  // namespace kf::net
