#include "windows/open_in_browser.h"

#include <exception>

#include "net/r_general.h"
#include "net/r_registry.h"
#include "platform/os/shell/shell_execute.h"
#include "platform/ui/toolkit.h"
#include "windows/busy_pointer.h"

namespace kf::windows {

void rOpenInBrowser(const std::string &address, bool visible) {
  const BusyPointer busy;
  try {
    const std::string command = net::rRegGetString(shell::HKEY_CLASSES_ROOT, net::kBrowserCommandKey, "");
    const std::string program = net::rBrowserProgramPath(command);
    shell::shellExecute(program, address, visible ? shell::SW_SHOWNORMAL : shell::SW_HIDE, [](const std::string &why) {
      ui::toolkit().messageBox(why, "Klipfang", ui::MessageIcon::Exclamation);
    });
  } catch (const std::exception &) {
    // Not being able to start the browser is not the user's concern: nothing is shown.
  }
}

}  // namespace kf::windows
