#include "site/command_line/options.h"

#include <algorithm>
#include <charconv>

#include "site/http/listen_address.h"

namespace kf::site {

const char *const kSiteUsage =
    "Aufruf: klipfang-site [--port N] [--listen ADRESSE] [--log DATEI] [--data ORDNER]\n"
    "                     [--library ORDNER [--database DATEI] [--stream-cache MB] [--new-key]]\n"
    "                     [--until-input-ends]\n"
    "       klipfang-site --library ORDNER [--database DATEI] --running-address\n"
    "       klipfang-site-faults ... --fault-words   (nur für Tests: die Wörter fehler-...)\n";

std::optional<SiteOptions> parseSiteOptions(const std::vector<std::string> &arguments,
                                            const std::filesystem::path &defaultDataDir) {
  SiteOptions options;
  options.dataDir = defaultDataDir;
  bool streamCacheGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &arg = arguments[i];
    if (bool *flag = arg == "--until-input-ends"  ? &options.untilInputEnds
                     : arg == "--fault-words"     ? &options.faultWords
                     : arg == "--new-key"         ? &options.newKey
                     : arg == "--running-address" ? &options.runningAddress
                                                  : nullptr) {
      *flag = true;
      continue;
    }
    if (i + 1 >= arguments.size()) return std::nullopt;
    const std::string &value = arguments[++i];
    if (arg == "--port") {
      int port = -1;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
      if (error != std::errc() || end != value.data() + value.size() || port < 0 || port > 65535) return std::nullopt;
      options.port = port;
    } else if (arg == "--stream-cache") {
      long long megabytes = -1;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), megabytes);
      if (error != std::errc() || end != value.data() + value.size() || megabytes < 1 || megabytes > (1LL << 30)) {
        return std::nullopt;
      }
      options.streamCacheMegabytes = megabytes;
      streamCacheGiven = true;
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
  if ((!options.database.empty() || streamCacheGiven) && options.libraryFolder.empty()) return std::nullopt;
  return options;
}

std::string refusalOf(const SiteOptions &options) {
  if ((options.newKey || options.runningAddress) && options.libraryFolder.empty())
    return "--new-key und --running-address gelten nur mit --library ORDNER: Nur ein Ordner eigener Videos hat "
           "einen Zugangsschlüssel.";
  if (!options.faultWords) return {};
  if (!options.libraryFolder.empty())
    return "Die Testfehler (--fault-words) gibt es nicht für einen Ordner eigener Videos (--library).";
  if (!isLoopbackAddress(options.address))
    return "Die Testfehler (--fault-words) antworten nur auf diesem Computer, nicht auf " + options.address +
           " (--listen).";
  return {};
}

}  // namespace kf::site
