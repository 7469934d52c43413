#include "net/download_commands.h"

#include <utility>

#include "net/r_general.h"
#include "platform/toolkit.h"

namespace kf::net {
namespace {
constexpr int kVideoIdColumn = 2;
}

DownloadCommands::DownloadCommands(DownloadControls controls, SiteAddress site) : c_(controls), site_(std::move(site)) {
  c_.cmdDL.onClick = [this] { cmdDL_Click(); };
  c_.cmdDll.onClick = [this] { cmdDll_Click(); };
  c_.cmdLink.onClick = [this] { cmdLink_Click(); };
}

std::optional<std::string> DownloadCommands::selectedVideoId() const {
  const int row = c_.lstResult.selectedIndex();
  if (c_.lstResult.count() < 1 || row < 1) return std::nullopt;
  return c_.lstResult.subItemText(row, kVideoIdColumn);
}

std::string DownloadCommands::watchPageUrl(const std::string &videoId) const {
  return site_.root + "/watch?v=" + videoId;
}

void DownloadCommands::cmdDL_Click() {
  const auto id = selectedVideoId();
  if (!id) return;
  rOpenInBrowser(rGetVideoFileUrl(watchPageUrl(*id), site_), false);
}

void DownloadCommands::cmdDll_Click() {
  const auto id = selectedVideoId();
  if (!id) return;
  // Cleared before the page is fetched, so that nothing old can be pasted while the pointer is busy.
  ui::toolkit().clearClipboard();
  ui::toolkit().setClipboardText(rGetVideoFileUrl(watchPageUrl(*id), site_));
  c_.fraCMD.setVisible(false);
}

void DownloadCommands::cmdLink_Click() {
  const auto id = selectedVideoId();
  if (!id) return;
  ui::toolkit().clearClipboard();
  ui::toolkit().setClipboardText(watchPageUrl(*id));
  c_.fraCMD.setVisible(false);
}

}  // namespace kf::net
