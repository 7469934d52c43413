#include "platform/os/desktop/download_folder.h"

#include <algorithm>
#include <fstream>

#include "platform/os/desktop/user_folders.h"

namespace kf::desktop {
namespace {

// A configuration file larger than this is not a user-dirs file.
constexpr std::size_t kMaxUserDirsBytes = 64 * 1024;

std::string readBounded(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxUserDirsBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text.size() > kMaxUserDirsBytes ? std::string() : text;
}

// The value between the double quotes, backslash escapes resolved; nothing when it is not quoted.
std::optional<std::string> quotedValue(std::string_view text) {
  if (text.size() < 2 || text.front() != '"') return std::nullopt;
  std::string value;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') return value;
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    value += text[i];
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> downloadFolderFromUserDirs(std::string_view fileText, const std::string &home) {
  constexpr std::string_view kKey = "XDG_DOWNLOAD_DIR=";
  std::optional<std::string> folder;
  while (!fileText.empty()) {
    const std::size_t end = fileText.find('\n');
    std::string_view line = fileText.substr(0, end);
    fileText = end == std::string_view::npos ? std::string_view() : fileText.substr(end + 1);
    line = line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!line.starts_with(kKey)) continue;
    const auto value = quotedValue(line.substr(kKey.size()));
    if (!value) continue;
    // The two forms the file may hold; the last valid line counts, as the shell would read it.
    if (*value == "$HOME" || value->starts_with("$HOME/")) {
      folder = home + value->substr(5);
    } else if (value->starts_with("/")) {
      folder = *value;
    }
  }
  return folder;
}

std::string downloadFolder() {
  if (auto folder = absolutePathFromEnvironment("XDG_DOWNLOAD_DIR")) return *folder;
  const std::string home = homeFolder();
  const std::string config = absolutePathFromEnvironment("XDG_CONFIG_HOME").value_or(home + "/.config");
  if (auto folder = downloadFolderFromUserDirs(readBounded(config + "/user-dirs.dirs"), home)) return *folder;
  return home + "/Downloads";
}

}  // namespace kf::desktop
