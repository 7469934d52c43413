#include "site/command_line/options.h"

#include <algorithm>
#include <charconv>

namespace kf::site {

const char *const kSiteUsage =
    "Aufruf: klipfang-site [--port N] [--listen ADRESSE] [--log DATEI] [--data ORDNER]\n"
    "                     [--library ORDNER [--database DATEI]] [--until-input-ends]\n"
    "       klipfang-site-faults ... --fault-words   (nur für Tests: die Wörter fehler-...)\n";

std::optional<SiteOptions> parseSiteOptions(const std::vector<std::string> &arguments,
                                            const std::filesystem::path &defaultDataDir) {
  SiteOptions options;
  options.dataDir = defaultDataDir;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &arg = arguments[i];
    if (arg == "--until-input-ends" || arg == "--fault-words") {
      (arg == "--fault-words" ? options.faultWords : options.untilInputEnds) = true;
      continue;
    }
    if (i + 1 >= arguments.size()) return std::nullopt;
    const std::string &value = arguments[++i];
    if (arg == "--port") {
      int port = -1;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
      if (error != std::errc() || end != value.data() + value.size() || port < 0 || port > 65535) return std::nullopt;
      options.port = port;
    } else if (arg == "--log") {
      options.logFile = value;
    } else if (arg == "--data") {
      options.dataDir = value;
    } else if (arg == "--listen") {
      options.address = value;
    } else if (arg == "--library") {
      options.libraryFolder = value;
    } else if (arg == "--database") {
      options.database = value;
    } else {
      return std::nullopt;
    }
  }
  if (!options.database.empty() && options.libraryFolder.empty()) return std::nullopt;
  return options;
}

bool isLoopbackAddress(const std::string &address) {
  if (address == "localhost" || address == "::1" || address == "[::1]") return true;
  int parts = 0;
  int first = -1;
  for (std::size_t at = 0; at <= address.size(); ++parts) {
    const std::size_t dot = std::min(address.find('.', at), address.size());
    int value = -1;
    const auto [end, error] = std::from_chars(address.data() + at, address.data() + dot, value);
    if (error != std::errc() || end != address.data() + dot || value > 255 || dot - at > 3) return false;
    if (first < 0) first = value;
    at = dot + 1;
  }
  return parts == 4 && first == 127;
}

std::string refusalOf(const SiteOptions &options) {
  if (!options.faultWords) return {};
  if (!options.libraryFolder.empty())
    return "Die Testfehler (--fault-words) gibt es nicht für einen Ordner eigener Videos (--library).";
  if (!isLoopbackAddress(options.address))
    return "Die Testfehler (--fault-words) antworten nur auf diesem Computer, nicht auf " + options.address +
           " (--listen).";
  return {};
}

}  // namespace kf::site
