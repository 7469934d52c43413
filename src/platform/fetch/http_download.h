#pragma once
// Saving the file an address answers into a folder, over plain HTTP and within fixed bounds.
#include <chrono>
#include <cstdint>
#include <string>

namespace kf::fetch {

struct DownloadLimits {
  std::chrono::seconds connectTimeout{30};
  // Aborted when less than lowSpeedBytes per second arrive for lowSpeedTime.
  long lowSpeedBytes = 512;
  std::chrono::seconds lowSpeedTime{60};
  std::uint64_t maxBytes = std::uint64_t{4} * 1024 * 1024 * 1024;
  long maxRedirects = 5;
};

struct DownloadResult {
  bool saved = false;
  std::string path;     // the saved file
  std::string problem;  // why nothing was saved, for the user (UTF-8)
};

// GETs `address` and saves a successful answer's body whole under the name the answer or the address
// suggests, never over an existing file. Anything else (no connection, a status other than 2xx, a
// body cut off or over the limit, a full disk) leaves nothing in the folder.
DownloadResult downloadFile(const std::string &address, const std::string &folder, const DownloadLimits &limits = {});

}  // namespace kf::fetch
