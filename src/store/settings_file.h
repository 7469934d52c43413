#pragma once
// The settings file sets.cfg in the program folder: four lines "respages:N", "cleartxt:0|1",
// "preview:0|1", "infront:0|1", each ended by CR LF.
#include <string>

#include "platform/base/error.h"
#include "store/settings.h"

namespace kf::store {

// Reads the four settings by line position (the key before the colon is not looked at). A file that
// is missing or unreadable, has fewer than four lines, a line among the first four without a ':', or
// a first-line value that is no 16-bit number cannot be trusted: it throws SettingsUnreadable, and
// the program says so and ends, writing nothing. `settings` is changed only by a file read in full.
void LoadSettings(Settings &settings, const std::string &appDir);

// Settings that cannot be trusted; the description is what the user is told, under kCaption.
class SettingsUnreadable : public Error {
 public:
  static const std::string kCaption;
  SettingsUnreadable();
};

// Writes the four lines through a temporary file, so a failed save leaves the previous file as it
// was. Throws SaveFailed, naming the file and the reason.
void SaveSettings(const Settings &settings, const std::string &appDir);

}  // namespace kf::store
