#include "net/r_registry.h"

#include <cstdint>

namespace kf::net {

std::string rRegGetString(shell::RegistryKey root, const std::string &keyPath, const std::string &valueName) {
  std::uint32_t length = 256;
  std::string buffer;
  // The value may change between two reads; a second miss means it is gone or still growing, and a
  // few rounds are all such a race deserves.
  for (int round = 0; round < 4; ++round) {
    const std::uint32_t offered = length;
    buffer.assign(offered, '\0');
    if (shell::queryStringValue(root, keyPath, valueName, buffer.data(), length)) {
      return buffer.substr(0, buffer.find('\0'));
    }
    // A missing key or value leaves the length alone; only a value too long for the buffer asks for more.
    if (length <= offered) break;
  }
  return "";
}

}  // namespace kf::net
