#pragma once
// Turning the program's address texts into what may go on a request line.
#include <optional>
#include <string>
#include <string_view>

namespace kf::http {

// True for "host" or "host:port" with a port from 1 to 65535, the host made of printable ASCII.
bool isHostAndPort(std::string_view authority);

// Blanks, control characters, bytes above 127 and the characters a request target may not hold raw
// ("#", double quote, "<", ">", "{", "}", "|", "\\", "^", back-quote) as "%XX"; a "%" that does not
// begin an "%XX" becomes "%25". Everything else, an existing "%XX" included, stays as it is. Every
// request of the program and its download helper goes through here.
std::string percentEncode(std::string_view pathAndQuery);

// "http://host[:port]/path?query" with the scheme in any letter case, as the address the request
// goes to: scheme lowered, path percent-encoded, "/" when there is no path. Nothing for another
// scheme or a bad host.
std::optional<std::string> requestUrl(std::string_view address);

}  // namespace kf::http
