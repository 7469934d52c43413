#pragma once
// The videos the program keeps in order: the results of a search, the favourites. Positions count
// from 1, as the rows of the list that shows them; a view follows the list through its listener.
#include <functional>
#include <string_view>
#include <vector>

#include "video/video_entry.h"

namespace kf::video {

class VideoList {
 public:
  // Told after each change. A view that shows the list mirrors it row for row.
  struct Listener {
    std::function<void(int position)> appended;
    std::function<void(int position)> removed;
    std::function<void()> cleared;
  };

  int count() const { return static_cast<int>(entries_.size()); }
  bool empty() const { return entries_.empty(); }
  // `position` from 1 to count().
  const VideoEntry &at(int position) const;
  const std::vector<VideoEntry> &entries() const { return entries_; }

  // The first position naming this video, letter case ignored; 0 for none.
  int find(std::string_view videoId) const;

  // Answers the entry's position.
  int append(VideoEntry entry);
  void remove(int position);
  void clear();

  void setListener(Listener listener) { listener_ = std::move(listener); }

 private:
  std::vector<VideoEntry> entries_;
  Listener listener_;
};

}  // namespace kf::video
