#include "platform/shell/registry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/files.h"
#include "platform/text/cp1252.h"

namespace kf::shell {
namespace {

constexpr std::string_view kBrowserCommandKey = "Applications\\iexplore.exe\\shell\\open\\command";
constexpr std::string_view kLauncherName = "klipfang-fetch";

std::mutex browserMutex;
std::string browserOverride;

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return text::lower(a) == text::lower(b);
}

// The open command as the desktop registers one: the quoted program path, a blank and the placeholder
// for the address. Like a registry entry it names the program whether or not that is there to run;
// starting it finds out, and tells the user.
std::optional<std::string> browserCommand() {
  const std::string program = browserProgram();
  if (program.empty() || program.find('"') != std::string::npos) return std::nullopt;
  return "\"" + program + "\" %1";
}

std::optional<std::string> lookUp(RegistryKey root, std::string_view subKey, std::string_view valueName) {
  if (root != HKEY_CLASSES_ROOT || !sameIgnoringCase(subKey, kBrowserCommandKey) || !valueName.empty()) {
    return std::nullopt;
  }
  return browserCommand();
}

}  // namespace

bool queryStringValue(RegistryKey root, std::string_view subKey, std::string_view valueName, char *buffer,
                      std::uint32_t &length) {
  const std::optional<std::string> value = lookUp(root, subKey, valueName);
  if (!value) return false;
  const std::size_t needed = value->size() + 1;
  if (needed > length) {
    length = static_cast<std::uint32_t>(std::min<std::size_t>(needed, UINT32_MAX));
    return false;
  }
  std::memcpy(buffer, value->c_str(), needed);
  length = static_cast<std::uint32_t>(needed);
  return true;
}

std::string browserProgram() {
  {
    const std::lock_guard lock(browserMutex);
    if (!browserOverride.empty()) return browserOverride;
  }
  return files::join(files::appDir(), kLauncherName);
}

void setBrowserProgram(std::string path) {
  const std::lock_guard lock(browserMutex);
  browserOverride = std::move(path);
}

}  // namespace kf::shell
