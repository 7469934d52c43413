#include "net/download_commands.h"

#include <utility>

#include "net/r_general.h"
#include "net/shown_video_list.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/ui/toolkit.h"
#include "video/video_rows.h"

namespace kf::net {

DownloadCommands::DownloadCommands(DownloadControls controls, SiteAddress site)
    : controls_(controls), site_(std::move(site)) {
  controls_.cmdDL.onClick = [this] { cmdDL_Click(); };
  controls_.cmdDll.onClick = [this] { cmdDll_Click(); };
  controls_.cmdLink.onClick = [this] { cmdLink_Click(); };
}

std::optional<std::string> DownloadCommands::selectedVideoId(const ui::ListView &list) {
  auto selected = video::selectedVideo(list);
  if (!selected) {
    askToSelectAVideo(controls_.labSel);
    return std::nullopt;
  }
  return std::move(selected->VideoId);
}

std::string DownloadCommands::watchPageUrl(const std::string &videoId) const {
  return site_.root + "/watch?v=" + videoId;
}

std::optional<std::string> DownloadCommands::videoFileUrl(const std::string &videoId) {
  // The window takes clicks while the watch page comes; a second command of the two waits for none.
  resolving_ = true;
  struct Done {
    bool &resolving;
    ~Done() { resolving = false; }
  } done{resolving_};
  try {
    return rGetVideoFileUrl(watchPageUrl(videoId), site_);
  } catch (const Error &error) {
    ui::toolkit().messageBox(
        text::cp1252(u8"Die Adresse der Videodatei wurde nicht gefunden.\n\n") + error.description(), "Klipfang",
        ui::MessageIcon::Exclamation);
    return std::nullopt;
  }
}

void DownloadCommands::cmdDL_Click() {
  if (resolving_) return;
  const auto id = selectedVideoId(shownVideoList(controls_.lstResult, controls_.lstFavs));
  if (!id) return;
  if (const auto address = videoFileUrl(*id)) rOpenInBrowser(*address, false);
}

void DownloadCommands::cmdDll_Click() {
  if (copyFileAddress(controls_.lstResult)) controls_.fraCMD.setVisible(false);
}

void DownloadCommands::cmdLink_Click() {
  if (copyPageAddress(controls_.lstResult)) controls_.fraCMD.setVisible(false);
}

bool DownloadCommands::copyFileAddress(const ui::ListView &list) {
  if (resolving_) return false;
  const auto id = selectedVideoId(list);
  if (!id) return false;
  // The clipboard changes only for an address worth pasting.
  if (const auto address = videoFileUrl(*id)) {
    ui::toolkit().clearClipboard();
    ui::toolkit().setClipboardText(*address);
  }
  return true;
}

bool DownloadCommands::copyPageAddress(const ui::ListView &list) {
  const auto id = selectedVideoId(list);
  if (!id) return false;
  ui::toolkit().clearClipboard();
  ui::toolkit().setClipboardText(watchPageUrl(*id));
  return true;
}

}  // namespace kf::net
