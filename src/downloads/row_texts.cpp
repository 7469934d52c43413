#include "downloads/row_texts.h"

#include <cstdio>

namespace kf::downloads {
namespace {

// `value` in units of `unit` with one decimal: "12,3".
std::string withOneDecimal(std::uint64_t value, std::uint64_t unit) {
  const std::uint64_t tenths = value / (unit / 10);
  return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

}  // namespace

std::string byteText(std::uint64_t bytes) {
  constexpr std::uint64_t kKilo = 1000;
  constexpr std::uint64_t kMega = kKilo * kKilo;
  constexpr std::uint64_t kGiga = kMega * kKilo;
  if (bytes == 1) return "1 Byte";
  if (bytes < kKilo) return std::to_string(bytes) + " Bytes";
  if (bytes < kMega) return std::to_string(bytes / kKilo) + " kB";
  if (bytes < kGiga) return withOneDecimal(bytes, kMega) + " MB";
  return withOneDecimal(bytes, kGiga) + " GB";
}

std::string progressText(std::uint64_t bytes, std::optional<std::uint64_t> size) {
  return size ? byteText(bytes) + " von " + byteText(*size) : byteText(bytes);
}

std::string speedText(double bytesPerSecond) {
  // Below one byte a second bytes still arrive: the speed is never shown as none while they do.
  const auto bytes = bytesPerSecond <= 0  ? std::uint64_t{0}
                     : bytesPerSecond < 1 ? std::uint64_t{1}
                                          : static_cast<std::uint64_t>(bytesPerSecond);
  return byteText(bytes) + "/s";
}

std::string timeLeftText(std::chrono::seconds left) {
  const long long seconds = left.count() > 0 ? left.count() : 0;
  if (seconds < 60) return "noch " + std::to_string(seconds) + " Sek.";
  // Minutes begun count, so that the last minute does not show as none.
  const long long minutes = (seconds + 59) / 60;
  if (minutes < 60) return "noch " + std::to_string(minutes) + " Min.";
  char text[48];
  std::snprintf(text, sizeof text, "noch %lld Std. %02lld Min.", minutes / 60, minutes % 60);
  return text;
}

}  // namespace kf::downloads
