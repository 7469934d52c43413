#pragma once
// A save at close that failed: the user learns it before the program ends, while he can still act
// (free the disk, note his favourites), not at the next start.
#include <string>

#include "platform/base/error.h"

namespace kf::store {

// One message box: `what` (German, plural: "Die Favoriten") could not be saved, the file and the
// system's reason from `error`, and that a file already there is unchanged.
void tellSaveFailure(const std::string &what, const Error &error);

}  // namespace kf::store
