#include "windows/build_watch_page.h"

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "store/watch_page.h"

namespace kf::windows {

BuildWatchPage::BuildWatchPage(ui::Toolkit &toolkit, std::string appDir, net::SiteAddress site,
                               const store::Settings &settings, OpenInBrowser openInBrowser)
    : toolkit_(toolkit),
      appDir_(std::move(appDir)),
      site_(std::move(site)),
      settings_(settings),
      openInBrowser_(std::move(openInBrowser)) {}

void BuildWatchPage::operator()(const std::string &videoId, const std::string &caption) {
  std::string address;
  try {
    address = store::writeWatchPage(appDir_, videoId, site_);
  } catch (const Error &error) {
    toolkit_.messageBox(error.description(), "Klipfang", ui::MessageIcon::Exclamation);
    return;
  }
  // A window the user closed is replaced, so that the current front setting applies to the new one.
  if (!frmVid_ || !frmVid_->window.isOpen()) {
    frmVid_ = std::make_unique<FrmVid>(toolkit_, settings_.infront);
    frmVid_->brw.onDownload = [this](const std::string &file) { download(file); };
  }
  frmVid_->window.show();
  frmVid_->window.setCaption(caption);
  frmVid_->brw.navigate(address);
  // The video's keys (Space, the arrows, M, F) work at once, without a click into the window.
  frmVid_->window.setFocus(frmVid_->brw);
}

void BuildWatchPage::download(const std::string &address) {
  const auto onSite = [&](const std::string &root) { return address.starts_with(root + "/"); };
  if (onSite(site_.root) || onSite(site_.rootBare)) {
    openInBrowser_(address, false);
  } else {
    toolkit_.messageBox(
        text::cp1252(u8"Das Videofenster lädt nur Dateien der Videoseite herunter, nicht:\n\n") + address, "Klipfang",
        ui::MessageIcon::Exclamation);
  }
}

void BuildWatchPage::watchSelected(const VideoView &view) {
  if (const auto selected = view.selected()) (*this)(selected->VideoId, selected->Description);
}

}  // namespace kf::windows
