#include "platform/os/desktop/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kf::desktop {

std::optional<std::string> absolutePathFromEnvironment(const char *name) {
  const char *value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

std::string homeFolder() {
  if (auto home = absolutePathFromEnvironment("HOME")) return *home;
  const passwd *entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::string cacheFolder() {
  return absolutePathFromEnvironment("XDG_CACHE_HOME").value_or(homeFolder() + "/.cache");
}

}  // namespace kf::desktop
