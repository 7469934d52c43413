#pragma once
// A file of the user's that cannot be read at start is moved aside, never overwritten by the next
// save, and the user is told where it went.
#include <string>

namespace kf::store {

// Moves `path` to `path`.unlesbar (or .unlesbar.1, .2, ...) and answers what to tell the user: `what`
// (German, plural: "Die Favoriten") in the file could not be read, where the file went, and
// `startsWith`, the sentence that says what the program starts with instead.
std::string moveAside(const std::string &path, const std::string &what, const std::string &startsWith);

}  // namespace kf::store
