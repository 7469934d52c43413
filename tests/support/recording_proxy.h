#pragma once
// A tiny forward HTTP proxy on a free loopback port: it records every request that passes through
// it and relays it to the server the request names, one request per connection.
#include <string>
#include <vector>

#include "support/raw_http_server.h"

namespace kf::test {

class RecordingProxy {
 public:
  RecordingProxy();

  // "http://127.0.0.1:<port>", the form proxy settings take.
  std::string address() const { return "http://" + server_.hostAndPort(); }
  // The requests as they reached the proxy (their targets are full addresses).
  std::vector<RawRequest> requests() const { return server_.requests(); }

 private:
  RawHttpServer server_;
};

}  // namespace kf::test
