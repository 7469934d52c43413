#pragma once
// A program folder as the build lays it out (settings, watch page template, data folder with two
// favourites), inside a temporary folder of its own so that a file written beside it shows, and the
// headless main window started on it.
#include <memory>
#include <set>
#include <string>

#include "net/site_address.h"
#include "platform/ui/headless_toolkit.h"
#include "support/temp_dir.h"
#include "windows/frm_main.h"

namespace kf::test {

// The files as delivered, byte for byte what the program itself writes for the same values.
inline const std::string kDeliveredSettings = "respages:2\r\ncleartxt:1\r\npreview:1\r\ninfront:0\r\n";
inline const std::string kDeliveredFavourites =
    "2\r\nErster Film|aaaaaaaaaaa|http://p/a.jpg|Erster|1:00\r\nZweiter "
    "Film|bbbbbbbbbbb|http://p/b.jpg|Zweiter|2:00\r\n";
inline const std::string kWatchTemplate = "<html><body><iframe src=\"http://site/embed/%\"></iframe></body></html>";

class ProgramFolder {
 public:
  ProgramFolder();

  // AppDir: "<temporary folder>/app".
  const std::string &path() const { return appDir_; }
  std::string file(const std::string &name) const { return appDir_ + "/" + name; }

  // Every file and folder under the temporary folder, relative to it; folders end in "/".
  std::set<std::string> tree() const;

  // Makes the main window on this folder and runs its start steps.
  std::unique_ptr<windows::FrmMain> start(ui::HeadlessToolkit &toolkit, const net::SiteAddress &site) const;

 private:
  TempDir root_;
  std::string appDir_;
};

// Closes the main window as the user does; its close steps save and end the process. False when
// the process did not end.
bool closeMainWindow(windows::FrmMain &frm);

}  // namespace kf::test
