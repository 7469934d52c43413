#pragma once
// The downloads window: one window for every download of the user, a row each, newest at the
// bottom and scrolled into view. It stays when the last download has ended, until the user closes
// it (the close box or Esc); closing it while downloads run asks first, and takes every unfinished
// file with it. The question follows the downloads while it is open: it counts those that still run,
// and when the last one ends it goes, and the window closes as the user asked.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"
#include "windows/downloads/download_row.h"

namespace kf::downloads {

class FrmDownloads {
 public:
  // Downloads go into `folder`.
  FrmDownloads(ui::Toolkit &toolkit, std::string folder, DesktopServices desktop);

  // A new row for `address`, its download started, and the window shown in front. False, and nothing
  // done, once the window has closed: its downloads are gone, and a new one would go with them.
  bool add(const std::string &address);

  // After the window has closed and its unfinished downloads are gone.
  std::function<void()> onClosed;

  ui::Window window;
  ui::ScrollPane &fraRows;
  std::vector<std::unique_ptr<DownloadRow>> rows;

 private:
  void layout();
  bool mayClose();
  void closed();
  // A row's download started or ended: the open question is brought in line.
  void runningChanged();

  ui::OpenQuestion *asking_ = nullptr;
  std::string folder_;
  DesktopServices desktop_;
  bool closed_ = false;
};

}  // namespace kf::downloads
