#pragma once
// The system's own words for an error number (errno), as strerror gives them, but safe to ask on any
// thread: strerror may answer in one buffer for all of them.
#include <string>

namespace kf {

std::string systemMessage(int systemError);

}  // namespace kf
