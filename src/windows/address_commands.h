#pragma once
// The three commands on the selected video: download its file (from the list shown, results or
// favourites), copy its file address or its page address (the buttons from the results, which the
// command panel of these two belongs to; the keys from the list they are pressed in). Finding no
// selected video, each says so in the Info line.
#include <optional>
#include <string>

#include "net/site_address.h"
#include "platform/ui/controls.h"
#include "windows/video_rows.h"

namespace kf::windows {

struct AddressControls {
  VideoView results;
  VideoView favourites;
  ui::Frame &fraCMD;
  ui::Button &cmdDL;
  ui::Button &cmdDll;
  ui::Button &cmdLink;
  ui::Label &labSel;
};

// Installs the click handlers of cmdDL, cmdDll and cmdLink; they act while this object lives. While
// cmdDL or cmdDll waits for the watch page, a second click on either is ignored.
class AddressCommands {
 public:
  AddressCommands(AddressControls controls, net::SiteAddress site);
  AddressCommands(const AddressCommands &) = delete;
  AddressCommands &operator=(const AddressCommands &) = delete;

  // The two file commands; without a file address each says why in a message box and does nothing
  // else. cmdDL hands the address to the browser program, started hidden, which downloads it; cmdDll
  // puts it on the clipboard.
  void cmdDL_Click();
  void cmdDll_Click();
  // Puts the video's page address on the clipboard.
  void cmdLink_Click();
  // The two copies from the list they name; false when there was no video to copy from, or the file
  // address of another is on its way.
  bool copyFileAddress(const VideoView &view);
  bool copyPageAddress(const VideoView &view);

 private:
  // The id of the list's selected video; nothing, after asking for one in the Info line, when
  // the list is empty or no row is selected.
  std::optional<std::string> selectedVideoId(const VideoView &view);
  std::string watchPageUrl(const std::string &videoId) const;
  // The video's file address; nothing, after a message box saying why, when there is none.
  std::optional<std::string> videoFileUrl(const std::string &videoId);

  AddressControls controls_;
  net::SiteAddress site_;
  bool resolving_ = false;
};

}  // namespace kf::windows
