#include "platform/os/desktop/desktop_open.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/base/cp1252.h"
#include "platform/base/system_message.h"
#include "platform/os/shell/shell_execute.h"

namespace kf::desktop {
namespace {

constexpr const char *kOpener = "xdg-open";

// The opener's path on the search path, as a shell would find it; empty when there is none.
std::string openerPath() {
  const char *path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
  while (true) {
    const std::size_t end = folders.find(':');
    const std::string_view folder = folders.substr(0, end);
    if (!folder.empty()) {
      std::string candidate = std::string(folder) + "/" + kOpener;
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (end == std::string_view::npos) return {};
    folders.remove_prefix(end + 1);
  }
}

}  // namespace

std::optional<std::string> openWithDesktop(const std::string &target) {
  const std::string opener = openerPath();
  if (opener.empty()) return text::cp1252(u8"Das Programm „") + kOpener + text::cp1252(u8"“ fehlt.");
  return shell::startProgram(opener, target, shell::SW_SHOWNORMAL);
}

int becomeDesktopOpener(const std::string &target) {
  std::string program = kOpener;
  std::string argument = target;
  char *argv[] = {program.data(), argument.data(), nullptr};
  ::execvp(program.c_str(), argv);
  std::fprintf(stderr, "klipfang-fetch: %s nicht startbar: %s\n", kOpener, systemMessage(errno).c_str());
  return 127;
}

}  // namespace kf::desktop
