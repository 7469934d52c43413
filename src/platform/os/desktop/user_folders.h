#pragma once
// The user's own folders, as the environment and the XDG base directories name them.
#include <optional>
#include <string>

namespace kf::desktop {

// The variable's value when it is an absolute path; a relative one names no folder.
std::optional<std::string> absolutePathFromEnvironment(const char *name);

// $HOME, else the home folder of the user's account.
std::string homeFolder();

// $XDG_CACHE_HOME, else ~/.cache.
std::string cacheFolder();

}  // namespace kf::desktop
