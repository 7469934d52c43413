#pragma once
// Handing a page, a file or a folder to the desktop, which opens it with the program the user chose
// for it (xdg-open).
#include <optional>
#include <string>

#include "platform/os/shell/shell_execute.h"

namespace kf::desktop {

// Starts the desktop's opener for `target` (an absolute path or a web address) on its own, not
// waiting for it. Answers nothing once it started, else why it could not (Windows-1252), for the
// caller to tell with the name of what was to be opened.
std::optional<std::string> openWithDesktop(const std::string &target);

// Replaces this process with the desktop's opener for `target`. Returns only when it cannot be
// started, with the exit status for that (127) after saying why on standard error.
int becomeDesktopOpener(const std::string &target);

}  // namespace kf::desktop
