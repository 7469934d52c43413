#pragma once
// The favourites file fav.kf in the data folder: a count line, then one line per favourite with its
// five fields joined by "|". Between runs it keeps the rows of the favourites list, which is the
// store itself while the program runs.
#include <string>

#include "platform/controls.h"

namespace kf::store {

// Fills `lstFavs` (empty at start) from DataDir/fav.kf, numbering the rows 1, 2, 3... Nothing is
// reported: a missing file, a count line that is no 16-bit number, or zero or a negative count loads
// nothing; a file shorter than its count loads the lines it has. A line with fewer than five fields
// gives a row whose missing fields are empty, and loading goes on, so one damaged line does not cost
// the favourites after it at the next save; fields after the fifth are dropped.
void LoadFavourites(ui::ListView &lstFavs, const std::string &appDir);

// Writes every row through a temporary file, so a failed save leaves the previous file as it was.
// The count line always tells the truth: a row lacking sub-items is written with those fields empty,
// and at most 32767 rows (the most a count line may announce) are written. Failures are not reported.
void SaveFavourites(const ui::ListView &lstFavs, const std::string &appDir);

}  // namespace kf::store
