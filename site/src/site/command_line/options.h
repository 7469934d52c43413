#pragma once
// What klipfang-site is asked to do, read from its command line.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kf::site {

struct SiteOptions {
  int port = 8480;
  std::string address = "127.0.0.1";
  std::filesystem::path logFile;
  std::filesystem::path dataDir;
  std::filesystem::path libraryFolder;
  std::filesystem::path database;
  long long streamCacheMegabytes = 4096;  // the cap of the streams' segments in the cache
  bool untilInputEnds = false;
  bool faultWords = false;      // answer the test faults' reserved words
  bool newKey = false;          // make a new access key for the library
  bool runningAddress = false;  // only say the address of the site that runs on the library
};

// Empty when the arguments (without the program's name) are not a valid call: an unknown switch,
// a switch without its value, a port out of range, --database or --stream-cache without --library.
std::optional<SiteOptions> parseSiteOptions(const std::vector<std::string> &arguments,
                                            const std::filesystem::path &defaultDataDir);

// Why the program refuses a valid call, in German; empty when it does not. The test faults answer
// only on this computer and never for a folder of the user's own.
std::string refusalOf(const SiteOptions &options);

// The German lines that show how to call the program.
extern const char *const kSiteUsage;

}  // namespace kf::site
