#pragma once
// A save at close that failed: the user learns it before the program ends, while he can still act
// (free the disk, note his favourites), not at the next start. The window that saved tells it.
#include <string>

#include "platform/base/error.h"

namespace kf::store {

// `what` (German, plural: "Die Favoriten") could not be saved: the description names the file and
// the system's reason from `cause`, and says that a file already there is unchanged.
class SaveFailed : public Error {
 public:
  SaveFailed(const std::string &what, const Error &cause);
};

}  // namespace kf::store
