#include "platform/base/system_message.h"

#include <array>
#include <cstring>

namespace kf {

std::string systemMessage(int systemError) {
  std::array<char, 256> buffer{};
  // The GNU strerror_r, as glibc declares it for C++: it answers its own text or what it wrote.
  return ::strerror_r(systemError, buffer.data(), buffer.size());
}

}  // namespace kf
