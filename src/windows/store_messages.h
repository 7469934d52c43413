#pragma once
// What the files of the store have to tell the user reaches him in a message box: a damaged file
// set aside at start, a save that failed.
#include <functional>
#include <optional>
#include <string>

namespace kf::windows {

// Shows `notice` when there is one.
void tellNotice(const std::optional<std::string> &notice);

// Runs `save`; a store::SaveFailed it throws is shown, and the program goes on.
void saveTelling(const std::function<void()> &save);

}  // namespace kf::windows
