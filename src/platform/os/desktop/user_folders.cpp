#include "platform/os/desktop/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kf::desktop {

std::optional<std::string> absolutePathFromEnvironment(const char *name) {
  const char *value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

std::string homeFolder() {
  if (auto home = absolutePathFromEnvironment("HOME")) return *home;
  // getpwuid_r, not getpwuid: the program runs threads of its own, and getpwuid answers in one buffer
  // for all of them.
  passwd entry{};
  passwd *found = nullptr;
  std::vector<char> buffer(16 * 1024);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return "/";
  }
  return found->pw_dir;
}

std::string cacheFolder() {
  return absolutePathFromEnvironment("XDG_CACHE_HOME").value_or(homeFolder() + "/.cache");
}

}  // namespace kf::desktop
