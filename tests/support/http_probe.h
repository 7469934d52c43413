#pragma once
// A deliberately plain HTTP client for the tests of the site and of the programs that use it: one
// request per connection, the answer read byte for byte up to the end of the connection or a cap, so
// that faults show exactly as sent.
#include <cstddef>
#include <map>
#include <string>
#include <utility>

namespace kf::site::test {

struct Answer {
  bool connected = false;
  std::string raw;        // everything received
  bool complete = false;  // the server closed the connection before the cap
  bool headComplete = false;
  std::string head;  // status line and headers, up to the blank line
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  size_t reads = 0;  // how many receive calls brought data

  // The announced Content-Length, or -1 when there is none.
  long long contentLength() const;
};

// Sends `method target` with the given Host header and "Connection: close" to 127.0.0.1:port.
Answer fetch(int port, const std::string &method, const std::string &target, const std::string &host,
             const std::string &extraHeaders = {}, size_t cap = 16 * 1024 * 1024);

// Sends the request and reads only until `enough` bytes arrived, then returns with the connection
// still open in `fd` (the caller closes it).
Answer fetchStart(int port, const std::string &target, size_t enough, int &fd);

// Width and height from the start-of-frame segment of a JPEG the site answered with.
std::pair<int, int> jpegSize(const std::string &jpeg);

}  // namespace kf::site::test
