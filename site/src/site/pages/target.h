#pragma once
// The parts of a request the site reads: the path and the query parameters of the request
// target, and the host name the absolute addresses on its pages are built from.
#include <map>
#include <string>
#include <string_view>

namespace kf::site {

struct Target {
  std::string path;                           // not decoded: ids and file names are plain ASCII
  std::map<std::string, std::string> params;  // decoded; the first of repeated names wins

  // The decoded value, or nullptr when the parameter is absent.
  const std::string *param(const std::string &name) const;
};

Target parseTarget(std::string_view target);

// The Host header when it is a plausible host name with optional port, else "localhost:port".
// Pages put it into addresses, so nothing else may pass.
std::string safeHost(std::string_view hostHeader, int localPort);

}  // namespace kf::site
