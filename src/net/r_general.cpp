#include "net/r_general.h"

#include <exception>

#include "net/busy_pointer.h"
#include "net/r_registry.h"
#include "net/r_split.h"
#include "net/r_web_operations.h"
#include "net/transfer_failure.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/shell/shell_execute.h"
#include "platform/ui/toolkit.h"

namespace kf::net {
namespace {

const std::string kBrowserCommandKey = "Applications\\iexplore.exe\\shell\\open\\command";

}  // namespace

std::string rGetVideoFileUrl(const std::string &watchPageUrl, const SiteAddress &site) {
  const BusyPointer busy;
  http::Answer page;
  try {
    // The commands that ask wait on the window thread: the window goes on drawing and taking input.
    page = rFetchUrl(watchPageUrl, http::limitsFor(http::TransferKind::Page), [] { ui::toolkit().doEvents(); });
  } catch (const http::TransferFailed &failed) {
    throw Error(kNoVideoFileUrl, failureText(failed.failure));
  }
  const std::string query = rPlayerQuery(page.body);
  if (query.empty()) {
    const std::string status = page.status == 200 ? std::string() : " (Status " + std::to_string(page.status) + ")";
    throw Error(kNoVideoFileUrl, text::cp1252(u8"Die Antwort des Servers") + status +
                                     text::cp1252(u8" enthält keinen Videoplayer mit der Adresse der Datei."));
  }
  return site.rootBare + "/get_video.php?" + query;
}

std::string rPlayerQuery(const std::string &watchPage) {
  // The appended "&s" closes the query of a player address that has no parameter beginning with "s".
  const std::string player = rGetString(watchPage, "SWFObject(\"", "\",", 1, true) + "&s";
  return rGetString(player, "?", "&s", 1, true);
}

std::string rBrowserProgramPath(const std::string &command) {
  // Case-sensitive, so the path keeps its letter case: file names here tell capitals apart.
  return rGetString(command, "\"", "\" ", 1, true);
}

void rOpenInBrowser(const std::string &address, bool visible) {
  const BusyPointer busy;
  try {
    const std::string command = rRegGetString(shell::HKEY_CLASSES_ROOT, kBrowserCommandKey, "");
    const std::string program = rBrowserProgramPath(command);
    shell::shellExecute(program, address, visible ? shell::SW_SHOWNORMAL : shell::SW_HIDE, [](const std::string &why) {
      ui::toolkit().messageBox(why, "Klipfang", ui::MessageIcon::Exclamation);
    });
  } catch (const std::exception &) {
    // Not being able to start the browser is not the user's concern: nothing is shown.
  }
}

}  // namespace kf::net
