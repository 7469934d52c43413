#include "video/video_entry.h"

#include "platform/base/cp1252.h"

namespace kf::video {

bool sameVideo(std::string_view videoId, std::string_view otherId) {
  return text::lower(videoId) == text::lower(otherId);
}

}  // namespace kf::video
