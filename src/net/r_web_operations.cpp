#include "net/r_web_operations.h"

#include "platform/base/cp1252.h"

namespace kf::net {

http::Answer rFetchUrl(const std::string &address, const http::Limits &limits, const http::WaitHook &whileWaiting) {
  const std::string url = text::lower(address.substr(0, 7)) == "http://" ? address : "http://" + address;
  http::Session session("VBURLSource", http::ProxyUse::Direct, limits, whileWaiting);
  return http::fetchAnswer(session, url);
}

std::string rGetUrlSource(const std::string &address) {
  return rGetUrlSource(address, http::limitsFor(http::TransferKind::Page));
}

std::string rGetUrlSource(const std::string &address, const http::Limits &limits) {
  try {
    return rFetchUrl(address, limits, {}).body;
  } catch (const std::exception &) {
    return {};
  }
}

}  // namespace kf::net
