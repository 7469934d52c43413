#include "net/r_registry.h"

#include <cstdint>

namespace kf::net {

std::string rRegGetString(shell::RegistryKey hKey, const std::string &strPath, const std::string &strValue) {
  constexpr std::uint32_t kBufferBytes = 256;
  std::string buffer(kBufferBytes, '\0');
  std::uint32_t length = kBufferBytes;
  // Whether the value was there and fitted needs no test: otherwise the buffer is still all NUL.
  shell::queryStringValue(hKey, strPath, strValue, buffer.data(), length);
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace kf::net
