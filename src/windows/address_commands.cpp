#include "windows/address_commands.h"

#include <utility>

#include "net/r_general.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/ui/toolkit.h"
#include "windows/busy_pointer.h"
#include "windows/open_in_browser.h"
#include "windows/shown_video_list.h"

namespace kf::windows {

AddressCommands::AddressCommands(AddressControls controls, net::SiteAddress site)
    : controls_(controls), site_(std::move(site)) {
  controls_.cmdDL.onClick = [this] { cmdDL_Click(); };
  controls_.cmdDll.onClick = [this] { cmdDll_Click(); };
  controls_.cmdLink.onClick = [this] { cmdLink_Click(); };
}

std::optional<std::string> AddressCommands::selectedVideoId(const VideoView &view) {
  auto selected = view.selected();
  if (!selected) {
    askToSelectAVideo(controls_.labSel);
    return std::nullopt;
  }
  return std::move(selected->VideoId);
}

std::string AddressCommands::watchPageUrl(const std::string &videoId) const {
  return site_.root + "/watch?v=" + videoId;
}

std::optional<std::string> AddressCommands::videoFileUrl(const std::string &videoId) {
  // The window takes clicks while the watch page comes; a second command of the two waits for none.
  resolving_ = true;
  struct Done {
    bool &resolving;
    ~Done() { resolving = false; }
  } done{resolving_};
  try {
    // The command waits on the window thread: the window goes on drawing and taking input.
    const BusyPointer busy;
    return net::rGetVideoFileUrl(watchPageUrl(videoId), site_, [] { ui::toolkit().doEvents(); });
  } catch (const Error &error) {
    ui::toolkit().messageBox(
        text::cp1252(u8"Die Adresse der Videodatei wurde nicht gefunden.\n\n") + error.description(), "Klipfang",
        ui::MessageIcon::Exclamation);
    return std::nullopt;
  }
}

void AddressCommands::cmdDL_Click() {
  if (resolving_) return;
  const auto id = selectedVideoId(shownVideos(controls_.results, controls_.favourites));
  if (!id) return;
  if (const auto address = videoFileUrl(*id)) rOpenInBrowser(*address, false);
}

void AddressCommands::cmdDll_Click() {
  if (copyFileAddress(controls_.results)) controls_.fraCMD.setVisible(false);
}

void AddressCommands::cmdLink_Click() {
  if (copyPageAddress(controls_.results)) controls_.fraCMD.setVisible(false);
}

bool AddressCommands::copyFileAddress(const VideoView &view) {
  if (resolving_) return false;
  const auto id = selectedVideoId(view);
  if (!id) return false;
  // The clipboard changes only for an address worth pasting.
  if (const auto address = videoFileUrl(*id)) {
    ui::toolkit().clearClipboard();
    ui::toolkit().setClipboardText(*address);
  }
  return true;
}

bool AddressCommands::copyPageAddress(const VideoView &view) {
  const auto id = selectedVideoId(view);
  if (!id) return false;
  ui::toolkit().clearClipboard();
  ui::toolkit().setClipboardText(watchPageUrl(*id));
  return true;
}

}  // namespace kf::windows
