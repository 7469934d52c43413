#pragma once
// Watching a video: its page is written from the template and shown in the one video window.
// The watch button, a double click on a result and a double click on a favourite all end here.
#include <functional>
#include <memory>
#include <string>

#include "net/site_address.h"
#include "platform/ui/toolkit.h"
#include "store/settings.h"
#include "windows/frm_vid.h"
#include "windows/open_in_browser.h"
#include "windows/video_rows.h"

namespace kf::windows {

// Hands a file address to the browser program, shown or hidden (rOpenInBrowser).
using OpenInBrowser = std::function<void(const std::string &address, bool visible)>;

class BuildWatchPage {
 public:
  // A file the video window's page offers for download goes to `openInBrowser`, hidden: the
  // downloads window, as the download button sends it there.
  BuildWatchPage(ui::Toolkit &toolkit, std::string appDir, net::SiteAddress site, const store::Settings &settings,
                 OpenInBrowser openInBrowser = rOpenInBrowser);

  // Writes the page of `videoId` and shows it in the video window under `caption`, reusing the
  // window while it is open and making a new one after the user closed it; the keyboard goes to the
  // video. A bad id or template, or a page that cannot be written, is told in a message box and
  // nothing is shown; the program goes on.
  void operator()(const std::string &videoId, const std::string &caption);

  // Watches the selected row of a result or favourites list: its VideoId under its Description.
  // Nothing happens when the list is empty or has no row selected.
  void watchSelected(const VideoView &view);

  // The video window made last, open or closed; nullptr before the first watch.
  FrmVid *frmVid() const { return frmVid_.get(); }

 private:
  // Files of the site go to the downloads window; the window fetches nothing from elsewhere.
  void download(const std::string &address);

  ui::Toolkit &toolkit_;
  std::string appDir_;
  net::SiteAddress site_;
  const store::Settings &settings_;
  OpenInBrowser openInBrowser_;
  std::unique_ptr<FrmVid> frmVid_;
};

}  // namespace kf::windows
