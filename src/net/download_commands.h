#pragma once
// The three commands on the video selected in the result list: download its file, copy its file
// address, copy its page address.
#include <optional>
#include <string>

#include "net/site_address.h"
#include "platform/controls.h"

namespace kf::net {

struct DownloadControls {
  ui::ListView &lstResult;
  ui::Frame &fraCMD;
  ui::Button &cmdDL;
  ui::Button &cmdDll;
  ui::Button &cmdLink;
};

// Installs the click handlers of cmdDL, cmdDll and cmdLink; they act while this object lives. While
// cmdDL or cmdDll waits for the watch page, a second click on either is ignored.
class DownloadCommands {
 public:
  DownloadCommands(DownloadControls controls, SiteAddress site);
  DownloadCommands(const DownloadCommands &) = delete;
  DownloadCommands &operator=(const DownloadCommands &) = delete;

  // Hands the video's file address to the browser program, started hidden, which downloads it.
  void cmdDL_Click();
  // Puts the video's file address on the clipboard.
  void cmdDll_Click();
  // Both say in a message box why, when there is no file address, and do nothing else.
  // Puts the video's page address on the clipboard.
  void cmdLink_Click();

 private:
  // The "ID" column of the selected row; nothing when the list is empty or no row is selected.
  std::optional<std::string> selectedVideoId() const;
  std::string watchPageUrl(const std::string &videoId) const;
  // The video's file address; nothing, after a message box saying why, when there is none.
  std::optional<std::string> videoFileUrl(const std::string &videoId);

  DownloadControls c_;
  SiteAddress site_;
  bool resolving_ = false;
};

}  // namespace kf::net
