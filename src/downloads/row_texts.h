#pragma once
// What a download's row says about sizes, speed and time, in German number format ("12,3 MB").
// Texts are Windows-1252. Sizes count in thousands, as the desktop's file managers do.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kf::downloads {

// "1 Byte", "812 Bytes", "45 kB", "12,3 MB", "1,2 GB"; cut, never rounded up, so that a file is
// shown as whole only when it is.
std::string byteText(std::uint64_t bytes);
// "12,3 MB von 45,6 MB", or the bytes alone when the size is not known.
std::string progressText(std::uint64_t bytes, std::optional<std::uint64_t> size);
// "1,2 MB/s", "812 Bytes/s"; a speed above 0 shows as at least "1 Byte/s".
std::string speedText(double bytesPerSecond);
// "noch 45 Sek.", "noch 3 Min.", "noch 2 Std. 05 Min."
std::string timeLeftText(std::chrono::seconds left);

}  // namespace kf::downloads
