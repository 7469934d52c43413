#pragma once
// The settings file sets.cfg in the program folder: four lines "respages:N", "cleartxt:0|1",
// "preview:0|1", "infront:0|1", each ended by CR LF.
#include <string>

#include "store/settings.h"

namespace kf::store {

// Reads the four settings by line position (the key before the colon is not looked at). A file that
// is missing or unreadable, has fewer than four lines, a line among the first four without a ':', or
// a first-line value that is no 16-bit number cannot be trusted: the program says so in a message
// box and ends, writing nothing. `settings` is changed only by a file read in full.
void LoadSettings(Settings &settings, const std::string &appDir);

// Writes the four lines through a temporary file, so a failed save leaves the previous file as it
// was. A failure is told in a message box naming the file and the reason.
void SaveSettings(const Settings &settings, const std::string &appDir);

}  // namespace kf::store
