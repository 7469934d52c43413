#pragma once
// The main window's commands on favourites: mark and unmark the selected result, show the favourites
// list or the browser, and in the favourites list watch (double click) or delete (Delete key) the
// selected favourite. None writes a file: the favourites are saved when the program closes.
// A favourite is a video, known by its id; the stars in the result list follow every change.
// Marking and unmarking without a selected video ask for one in the Info line.
#include <string>

#include "platform/ui/controls.h"
#include "windows/build_watch_page.h"
#include "windows/video_rows.h"

namespace kf::windows {

struct FavouriteControls {
  VideoView results;
  VideoView favourites;
  ui::ListView &lstFile;
  ui::Browser &brw;
  ui::Frame &fraCMD;
  ui::Button &cmdMark;
  ui::Button &cmdDelFav;
  ui::Button &cmdFavs;
  ui::Button &cmdToFav;
  ui::Label &labSel;
  const ui::ImageList &img;  // the result list's row icons; the favourite mark is the one keyed "fav"
};

// Installs the handlers on the controls; it must live as long as they do.
class FavouriteCommands {
 public:
  FavouriteCommands(FavouriteControls controls, BuildWatchPage &buildWatchPage);
  FavouriteCommands(const FavouriteCommands &) = delete;
  FavouriteCommands &operator=(const FavouriteCommands &) = delete;

  // The keys' commands on the selected video of the list shown: the favourites, or else the results.
  // A favourite is kept already; unmarking removes it as Delete does.
  void markShown();
  void unmarkShown();

 private:
  void cmdMark_Click();
  void cmdDelFav_Click();
  void removeSelectedFavourite();
  void showStars(const std::string &videoId);
  void showOnly(ui::Control &view);
  void lstFavs_KeyDown(int keyCode);

  FavouriteControls controls_;
  BuildWatchPage &buildWatchPage_;
};

}  // namespace kf::windows
