#pragma once
// The favourites file fav.kf in the data folder: a count line, then one line per favourite with its
// five fields joined by "|". Between runs it keeps the rows of the favourites list, which is the
// store itself while the program runs.
#include <string>

#include "platform/ui/controls.h"

namespace kf::store {

// Fills `lstFavs` (empty at start) from DataDir/fav.kf, numbering the rows 1, 2, 3... Blank lines
// are skipped; the first other line is the count, and up to that many favourite lines follow (a file
// shorter than its count loads the lines it has). A line with fewer than five fields gives a row
// whose missing fields are empty; fields after the fifth are dropped; a line is cut to 8,000
// characters. A missing file loads nothing, quietly. A file that cannot be read, or whose count is no
// whole number from 0 upward, is moved aside to fav.kf.unlesbar (or .unlesbar.1, .2, ...) so that
// the next save cannot overwrite it; the list starts empty and a message box names both files.
void LoadFavourites(ui::ListView &lstFavs, const std::string &appDir);

// Writes every row, with a count line that tells the truth (a row lacking sub-items is written with
// those fields empty), through a temporary file, so a failed save leaves the previous file as it was.
// A failure is told in a message box naming the file and the reason.
void SaveFavourites(const ui::ListView &lstFavs, const std::string &appDir);

}  // namespace kf::store
