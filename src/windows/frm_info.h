#pragma once
// The about window: the program's name and version, its logo, the maker's by-line, a credit line, the
// homepage address, which opens the homepage in the browser when clicked (or on Enter), and the list
// of the program's keys. Esc closes it.
#include <functional>
#include <memory>
#include <string>

#include "net/site_address.h"
#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"

namespace kf::windows {

// Opens an address in the system's browser program, shown or hidden.
using OpenInBrowser = std::function<void(const std::string &address, bool visible)>;

// The maker's homepage on the site.
std::string homepageAddress(const net::SiteAddress &site);

struct FrmInfo {
  FrmInfo(ui::Toolkit &toolkit, const std::string &homepage, OpenInBrowser openInBrowser);

  ui::Window window;
  ui::Label &lab;
  ui::Label &Label1;
  ui::Label &Label3;
  ui::Label &Label2;
  ui::ImageBox &Image1;
  ui::Button &cmdClose;
  ui::ListView &lstKeys;
};

// Keeps at most one about window: opening it while it is open brings that one to the front; after it
// was closed, the next opening makes it anew.
class InfoWindow {
 public:
  InfoWindow(ui::Toolkit &toolkit, const net::SiteAddress &site, OpenInBrowser openInBrowser);
  void open();
  // The open window, or null.
  FrmInfo *current() const;

 private:
  ui::Toolkit &toolkit_;
  std::string homepage_;
  OpenInBrowser openInBrowser_;
  std::unique_ptr<FrmInfo> form_;
};

}  // namespace kf::windows
