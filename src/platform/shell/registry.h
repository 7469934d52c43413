#pragma once
// The one registry value the program reads: the open command of its browser program. This system has
// no registry, so the key is answered here from what the desktop offers: the browser program is our
// launcher beside the executable (klipfang-fetch), which opens a page in the desktop's browser when
// started visible and downloads the address when started hidden.
#include <cstdint>
#include <string>
#include <string_view>

namespace kf::shell {

// A predefined root key, with the 32-bit handle value the program was written against.
using RegistryKey = std::uint32_t;
inline constexpr RegistryKey HKEY_CLASSES_ROOT = 0x80000000U;

// Reads the string value `valueName` (empty for the key's default value) of `subKey` under `root`
// into `buffer`, as the registry does: the text and its closing NUL when both fit into `length`
// bytes, `length` then set to the bytes written. A missing key or value leaves buffer and length
// alone; a value that does not fit leaves the buffer alone and sets `length` to the bytes it needs.
// Answers whether the buffer now holds the value. Key names ignore letter case.
bool queryStringValue(RegistryKey root, std::string_view subKey, std::string_view valueName, char *buffer,
                      std::uint32_t &length);

// The browser program the open command names: klipfang-fetch in the program's folder unless another
// was set. Only when its path cannot be written in double quotes is the key missing.
std::string browserProgram();
// Puts another program in the launcher's place (tests); an empty path brings the launcher back.
void setBrowserProgram(std::string path);

}  // namespace kf::shell
