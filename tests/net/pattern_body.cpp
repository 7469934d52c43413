#include "pattern_body.h"

namespace kf::test {

std::string patternBody(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return body;
}

}  // namespace kf::test
