#include "platform/http/host_pins.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "platform/http/pinned_transfers.h"

namespace kf::http {
namespace {

struct Pin {
  std::vector<std::string> addresses;
  std::function<HostCheck()> check;
  bool doubtful = false;  // a connection failed since the last check
};

std::mutex pinsMutex;
std::map<std::string, Pin> pins;  // by "host:port", the host in small letters

std::string keyOf(std::string host, long port) {
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
  return host + ":" + std::to_string(port);
}

// The host and port of a request address, as libcurl reads them; empty when it cannot.
std::string keyOf(const std::string &url) {
  CURLU *parts = curl_url();
  if (!parts) return {};
  std::string key;
  char *host = nullptr;
  char *port = nullptr;
  if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
    key = keyOf(host, std::strtol(port, nullptr, 10));
  }
  curl_free(host);
  curl_free(port);
  curl_url_cleanup(parts);
  return key;
}

}  // namespace

std::optional<std::string> pinHost(const std::string &host, int port, std::function<HostCheck()> check) {
  HostCheck checked = check();
  if (!checked.complaint.empty()) return checked.complaint;
  std::lock_guard lock(pinsMutex);
  pins[keyOf(host, port)] = {std::move(checked.addresses), std::move(check), false};
  return std::nullopt;
}

void unpinAll() {
  std::lock_guard lock(pinsMutex);
  pins.clear();
}

namespace detail {

curl_slist *pinsFor(const std::string &url, bool &refused) {
  refused = false;
  const std::string key = keyOf(url);
  std::unique_lock lock(pinsMutex);
  auto pin = pins.find(key);
  if (pin == pins.end()) return nullptr;
  if (pin->second.doubtful) {
    // Checked without the lock: it reads the system's tables and may ask a resolver.
    const std::function<HostCheck()> check = pin->second.check;
    lock.unlock();
    HostCheck checked = check();
    lock.lock();
    pin = pins.find(key);
    if (pin == pins.end()) return nullptr;
    if (!checked.complaint.empty()) {
      refused = true;
      return nullptr;
    }
    pin->second.addresses = std::move(checked.addresses);
    pin->second.doubtful = false;
  }
  if (pin->second.addresses.empty()) return nullptr;
  // "host:port:address,address", IPv6 addresses in brackets.
  std::string entry = key + ":";
  for (const std::string &address : pin->second.addresses) {
    if (entry.back() != ':') entry += ',';
    entry += address.find(':') == std::string::npos ? address : "[" + address + "]";
  }
  return curl_slist_append(nullptr, entry.c_str());
}

void noteEnded(const std::string &url, CURLcode result) {
  if (result != CURLE_COULDNT_CONNECT) return;
  const std::string key = keyOf(url);
  std::lock_guard lock(pinsMutex);
  if (const auto pin = pins.find(key); pin != pins.end()) pin->second.doubtful = true;
}

}  // namespace detail
}  // namespace kf::http
