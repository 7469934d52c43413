#include "store/build_watch_page.h"

#include "platform/base/error.h"
#include "store/watch_page.h"
#include "video/video_rows.h"

namespace kf::store {

BuildWatchPage::BuildWatchPage(ui::Toolkit &toolkit, std::string appDir, net::SiteAddress site,
                               const Settings &settings)
    : toolkit_(toolkit), appDir_(std::move(appDir)), site_(std::move(site)), settings_(settings) {}

void BuildWatchPage::operator()(const std::string &videoId, const std::string &caption) {
  std::string address;
  try {
    address = writeWatchPage(appDir_, videoId, site_);
  } catch (const Error &error) {
    toolkit_.messageBox(error.description(), "Klipfang", ui::MessageIcon::Exclamation);
    return;
  }
  // A window the user closed is replaced, so that the current front setting applies to the new one.
  if (!frmVid_ || !frmVid_->window.isOpen()) frmVid_ = std::make_unique<FrmVid>(toolkit_, settings_.infront);
  frmVid_->window.show();
  frmVid_->window.setCaption(caption);
  frmVid_->brw.navigate(address);
}

void BuildWatchPage::watchSelected(const ui::ListView &list) {
  if (const auto selected = video::selectedVideo(list)) (*this)(selected->VideoId, selected->Description);
}

}  // namespace kf::store
