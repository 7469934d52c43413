#pragma once
// What the video window shows of a video: the page it frames with the player and its keys, the
// playlist of a stream the site makes, and the note for a video it cannot play.
#include <string>
#include <vector>

#include "site/catalogue/catalogue.h"

namespace kf::site {

// The player on the video's file, or, for a video the engine cannot play as it is, on the stream
// the site makes of it (through the player library at /player/hls.js); for a video that cannot be
// played at all, a note in its place that names the file, says why and offers it for download.
// The video has the keyboard: Space, Left and Right (5 s), Up and Down (volume), M and F.
std::string embedPage(const std::string &base, const Video &video, const std::string &token);

// The note that the video window cannot play the video, with its file for download.
std::string cannotPlayNote(const std::string &base, const Video &video, const std::string &token);

// The stream's playlist: every segment with its length, the whole known from the start.
std::string streamPlaylist(const std::string &base, const Video &video, const std::vector<double> &seconds);

}  // namespace kf::site
