#pragma once
// The favourites file fav.kf in the data folder: a count line, then one line per favourite with its
// five fields joined by "|". Between runs it keeps the favourites; while the program runs they live
// in a video list.
#include <optional>
#include <string>

#include "video/video_list.h"

namespace kf::store {

// Fills `favourites` (empty at start) from DataDir/fav.kf. Blank lines
// are skipped; the first other line is the count, and up to that many favourite lines follow (a file
// shorter than its count loads the lines it has). A line with fewer than five fields gives a row
// whose missing fields are empty; fields after the fifth are dropped; a line is cut to 8,000
// characters. A missing file loads nothing, quietly. A file that cannot be read, or whose count is no
// whole number from 0 upward, is moved aside to fav.kf.unlesbar (or .unlesbar.1, .2, ...) so that
// the next save cannot overwrite it; the list starts empty, and the answer is the text that tells the
// user so, naming both files. Nothing to tell answers nothing.
std::optional<std::string> LoadFavourites(video::VideoList &favourites, const std::string &appDir);

// Writes every favourite, with a count line that tells the truth, through a temporary file, so a
// failed save leaves the previous file as it was. Throws SaveFailed, naming the file and the reason.
void SaveFavourites(const video::VideoList &favourites, const std::string &appDir);

}  // namespace kf::store
