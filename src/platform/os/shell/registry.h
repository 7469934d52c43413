#pragma once
// The one registry value the program reads: the open command of its browser program. This system has
// no registry, so the key is answered here from what the program registers: the browser program is
// our launcher klipfang-fetch in the program's folder, which opens a page in the desktop's browser
// when started visible and downloads the address when started hidden.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kf::shell {

// A predefined root key; the open command is registered under HKEY_CLASSES_ROOT alone.
using RegistryKey = std::uint32_t;
inline constexpr RegistryKey HKEY_CLASSES_ROOT = 0x80000000U;

// Reads the string value `valueName` (empty for the key's default value) of `subKey` under `root`
// into `buffer`, as the registry does: the text and its closing NUL when both fit into `length`
// bytes, `length` then set to the bytes written. A missing key or value leaves buffer and length
// alone; a value that does not fit leaves the buffer alone and sets `length` to the bytes it needs.
// Answers whether the buffer now holds the value. Key names ignore letter case.
bool queryStringValue(RegistryKey root, std::string_view subKey, std::string_view valueName, char *buffer,
                      std::uint32_t &length);

// While it lives, the open command names klipfang-fetch in `programFolder`, as an installer registers
// the program it brings along; the main window registers the folder it runs in. Without one the key
// is missing, and so it is when the path cannot be written in double quotes. A registration made
// while another lives stands in for it until it ends.
class BrowserRegistration {
 public:
  explicit BrowserRegistration(std::string programFolder);
  ~BrowserRegistration();
  BrowserRegistration(const BrowserRegistration &) = delete;
  BrowserRegistration &operator=(const BrowserRegistration &) = delete;

 private:
  std::optional<std::string> before_;
};

}  // namespace kf::shell
