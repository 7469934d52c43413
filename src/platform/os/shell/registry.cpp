#include "platform/os/shell/registry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/base/cp1252.h"
#include "platform/os/files.h"

namespace kf::shell {
namespace {

constexpr std::string_view kBrowserCommandKey = "Applications\\iexplore.exe\\shell\\open\\command";
constexpr std::string_view kLauncherName = "klipfang-fetch";

std::mutex registrationMutex;
std::optional<std::string> registeredFolder;

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return text::lower(a) == text::lower(b);
}

// The open command as the desktop registers one: the quoted program path, a blank and the placeholder
// for the address. Like a registry entry it names the program whether or not that is there to run;
// starting it finds out, and tells the user.
std::optional<std::string> browserCommand() {
  std::string program;
  {
    const std::lock_guard lock(registrationMutex);
    if (!registeredFolder) return std::nullopt;
    program = files::join(*registeredFolder, kLauncherName);
  }
  if (program.find('"') != std::string::npos) return std::nullopt;
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

BrowserRegistration::BrowserRegistration(std::string programFolder) {
  const std::lock_guard lock(registrationMutex);
  before_ = std::exchange(registeredFolder, std::move(programFolder));
}

BrowserRegistration::~BrowserRegistration() {
  const std::lock_guard lock(registrationMutex);
  registeredFolder = std::move(before_);
}

}  // namespace kf::shell
