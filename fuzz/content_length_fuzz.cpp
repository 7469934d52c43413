// The size the download engine reads from a server's raw header block, over any header block.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/content_length.h"
#include "platform/base/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string headers(reinterpret_cast<const char *>(data), size);
  try {
    kf::net::contentLength(headers);
  } catch (const kf::Error &error) {
    // A size beyond 32 bits is refused with the overflow error, and that is the only refusal.
    if (error.number() != kf::errors::kOverflow) throw;
  }
  return 0;
}
