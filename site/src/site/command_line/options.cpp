#include "site/command_line/options.h"

#include <charconv>

namespace kf::site {

const char *const kSiteUsage =
    "Aufruf: klipfang-site [--port N] [--listen ADRESSE] [--log DATEI] [--data ORDNER]\n"
    "                     [--library ORDNER [--database DATEI] [--stream-cache MB]] [--until-input-ends]\n";

std::optional<SiteOptions> parseSiteOptions(const std::vector<std::string> &arguments,
                                            const std::filesystem::path &defaultDataDir) {
  SiteOptions options;
  options.dataDir = defaultDataDir;
  bool streamCacheGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string &arg = arguments[i];
    if (arg == "--until-input-ends") {
      options.untilInputEnds = true;
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

}  // namespace kf::site
