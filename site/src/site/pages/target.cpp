#include "site/pages/target.h"

#include "site/catalogue/text.h"

namespace kf::site {

const std::string *Target::param(const std::string &name) const {
  auto it = params.find(name);
  return it == params.end() ? nullptr : &it->second;
}

Target parseTarget(std::string_view target) {
  Target out;
  auto question = target.find('?');
  out.path = std::string(target.substr(0, question));
  if (question == std::string_view::npos) return out;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    auto amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    auto eq = pair.find('=');
    std::string name = percentDecode(pair.substr(0, eq));
    std::string value = eq == std::string_view::npos ? std::string() : percentDecode(pair.substr(eq + 1));
    out.params.emplace(std::move(name), std::move(value));
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return out;
}

std::string safeHost(std::string_view hostHeader, int localPort) {
  bool plausible = !hostHeader.empty() && hostHeader.size() <= 255;
  for (char c : hostHeader) {
    bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                   c == ':' || c == '[' || c == ']';
    plausible = plausible && allowed;
  }
  return plausible ? std::string(hostHeader) : "localhost:" + std::to_string(localPort);
}

}  // namespace kf::site
