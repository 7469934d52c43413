#include "platform/picture.h"

namespace kf::picture {

bool looksLikePicture(std::string_view bytes) {
  const auto starts = [&](std::string_view magic) { return bytes.substr(0, magic.size()) == magic; };
  return starts("\xFF\xD8\xFF") || starts("\x89PNG\r\n\x1A\n") || starts("GIF87a") || starts("GIF89a") || starts("BM");
}

}  // namespace kf::picture
