#pragma once
// Where downloads go: the desktop's download folder as the XDG user directories name it.
#include <optional>
#include <string>
#include <string_view>

namespace kf::desktop {

// $XDG_DOWNLOAD_DIR when it is an absolute path, else the XDG_DOWNLOAD_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs), else ~/Downloads.
std::string downloadFolder();

// The download folder a user-dirs.dirs text names: a line XDG_DOWNLOAD_DIR="$HOME/..." or
// XDG_DOWNLOAD_DIR="/...", with backslash escapes. Nothing when no such line is there.
std::optional<std::string> downloadFolderFromUserDirs(std::string_view fileText, const std::string &home);

}  // namespace kf::desktop
