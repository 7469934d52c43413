#include "video/video_list.h"

#include <cassert>

namespace kf::video {

const VideoEntry &VideoList::at(int position) const {
  assert(position >= 1 && position <= count());
  return entries_[static_cast<std::size_t>(position - 1)];
}

int VideoList::find(std::string_view videoId) const {
  for (int position = 1; position <= count(); ++position) {
    if (sameVideo(at(position).VideoId, videoId)) return position;
  }
  return 0;
}

int VideoList::append(VideoEntry entry) {
  entries_.push_back(std::move(entry));
  if (listener_.appended) listener_.appended(count());
  return count();
}

void VideoList::remove(int position) {
  assert(position >= 1 && position <= count());
  entries_.erase(entries_.begin() + (position - 1));
  if (listener_.removed) listener_.removed(position);
}

void VideoList::clear() {
  entries_.clear();
  if (listener_.cleared) listener_.cleared();
}

}  // namespace kf::video
