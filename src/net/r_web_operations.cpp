#include "net/r_web_operations.h"

#include "platform/text/cp1252.h"

namespace kf::net {

std::string rGetUrlSource(const std::string &address) {
  return rGetUrlSource(address, http::Limits{});
}

std::string rGetUrlSource(const std::string &address, const http::Limits &limits) {
  const std::string url = text::lower(address.substr(0, 7)) == "http://" ? address : "http://" + address;
  try {
    http::Session session("VBURLSource", http::ProxyUse::Direct, limits);
    return http::fetchBody(session, url).value_or(std::string());
  } catch (const std::exception &) {
    return {};
  }
}

}  // namespace kf::net
