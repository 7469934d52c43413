#include "net/r_general.h"

#include <exception>

#include "net/r_split.h"
#include "net/r_web_operations.h"
#include "net/transfer_failure.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"

namespace kf::net {

const std::string kBrowserCommandKey = "Applications\\iexplore.exe\\shell\\open\\command";

std::string rGetVideoFileUrl(const std::string &watchPageUrl, const SiteAddress &site,
                             const std::function<void()> &whileWaiting) {
  http::Answer page;
  try {
    page = rFetchUrl(watchPageUrl, http::limitsFor(http::TransferKind::Page), whileWaiting);
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

}  // namespace kf::net
