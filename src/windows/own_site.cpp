#include "windows/own_site.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/http/host_pins.h"
#include "platform/http/ip_address.h"
#include "platform/os/port_owners.h"

namespace kf::windows {
namespace {

using text::cp1252;

constexpr std::u8string_view kWhyNotAndWhatNow =
    u8"Die Videoseite eines anderen Benutzers könnte Klipfang beliebige Seiten, Adressen und Dateinamen "
    u8"unterschieben.\n\nStarten Sie Klipfang wieder, wenn der Port frei ist, oder nennen Sie mit "
    u8"--site http://HOST:PORT eine andere Videoseite.";

struct HostAndPort {
  std::string host;
  int port = 80;
};

// A site address as the command line or the build gives it: "http://HOST" or "http://HOST:PORT".
std::optional<HostAndPort> hostAndPort(std::string_view root) {
  constexpr std::string_view kScheme = "http://";
  if (!root.starts_with(kScheme)) return std::nullopt;
  root.remove_prefix(kScheme.size());
  root = root.substr(0, root.find('/'));
  const std::size_t colon = root.rfind(':');
  const std::size_t bracket = root.rfind(']');
  if (colon == std::string_view::npos || (bracket != std::string_view::npos && colon < bracket)) {
    return HostAndPort{std::string(root)};
  }
  HostAndPort site{std::string(root.substr(0, colon))};
  const std::string_view digits = root.substr(colon + 1);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), site.port);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return site;
}

std::string ownerNamed(unsigned owner) {
  const std::string name = ports::userName(owner);
  if (name.empty()) return cp1252(u8"des Benutzers mit der Kennung ") + std::to_string(owner);
  return cp1252(u8"des Benutzers „") + text::fromUtf8(name) + cp1252(u8"“ (Kennung ") + std::to_string(owner) + ")";
}

std::optional<std::string> complaintAbout(const std::string &root, int port) {
  std::vector<unsigned> owners;
  try {
    owners = ports::listenersOn(port);
  } catch (const Error &error) {
    return cp1252(u8"Klipfang kann nicht prüfen, wem die Videoseite unter ") + root +
           cp1252(u8" gehört, und verwendet sie deshalb nicht: ") + error.description();
  }
  const unsigned me = ports::currentUser();
  for (const unsigned owner : owners) {
    if (owner == me) continue;
    return cp1252(u8"Klipfang verwendet die Videoseite unter ") + root + cp1252(u8" nicht: Den Port ") +
           std::to_string(port) + cp1252(u8" auf diesem Computer hält ein Programm ") + ownerNamed(owner) + ". " +
           cp1252(kWhyNotAndWhatNow);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> guardOwnSite(const net::SiteAddress &site) {
  for (const std::string &root : {site.root, site.rootBare}) {
    const std::optional<HostAndPort> address = hostAndPort(root);
    if (!address) continue;
    const auto check = [root, host = address->host, port = address->port] {
      http::HostCheck checked{ports::addressesOf(host), {}};
      const bool here = std::any_of(checked.addresses.begin(), checked.addresses.end(), ports::isThisComputer);
      if (here) checked.complaint = complaintAbout(root, port).value_or("");
      // An address written out needs no pin: libcurl asks no resolver for it.
      if (host.front() == '[' || http::isIpv4Address(host)) checked.addresses.clear();
      return checked;
    };
    if (std::optional<std::string> complaint = http::pinHost(address->host, address->port, check)) return complaint;
  }
  return std::nullopt;
}

}  // namespace kf::windows
