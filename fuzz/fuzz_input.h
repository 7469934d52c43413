#pragma once
// Takes a fuzz input apart into the arguments of the function under test: fixed-size values from
// the front, then texts separated by NUL bytes. Missing bytes read as zeros and missing texts as
// empty, so every input gives a call and short inputs still reach the code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kf::fuzz {

class FuzzInput {
 public:
  FuzzInput(const unsigned char *data, std::size_t size) : rest_(reinterpret_cast<const char *>(data), size) {}

  bool flag() { return (byte() & 1) != 0; }
  std::int16_t int16() {
    const auto low = byte();
    const auto high = byte();
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
  }
  // The text up to the next NUL byte; the last text takes what is left.
  std::string text() {
    const std::size_t end = rest_.find('\0');
    const std::string_view piece = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return std::string(piece);
  }

 private:
  unsigned char byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<unsigned char>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }

  std::string_view rest_;
};

// Stops the run the way a sanitizer would, so a broken promise of the code under test is reported
// with its input like any crash.
[[noreturn]] void fail(const char *what);

}  // namespace kf::fuzz
