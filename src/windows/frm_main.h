#pragma once
// The main window with its behaviour: the start and close steps and the wiring of every control to
// the subsystem that handles it. Each subsystem installs its own handlers when it is made here.
#include <string>

#include "net/site_address.h"
#include "platform/os/shell/registry.h"
#include "search/page_lines.h"
#include "store/search_history.h"
#include "store/settings.h"
#include "video/video_list.h"
#include "windows/address_commands.h"
#include "windows/build_watch_page.h"
#include "windows/favourite_commands.h"
#include "windows/folder_claim.h"
#include "windows/frm_info.h"
#include "windows/frm_settings.h"
#include "windows/main_controls.h"
#include "windows/result_list_reactions.h"
#include "windows/search_commands.h"
#include "windows/video_rows.h"
#include "windows/watch_command.h"

namespace kf::windows {

struct Environment {
  std::string appDir;     // the program's folder: settings, template, result pages, dat/
  net::SiteAddress site;  // the video site
};

class FrmMain {
 public:
  FrmMain(ui::Toolkit &toolkit, Environment environment);
  FrmMain(const FrmMain &) = delete;
  FrmMain &operator=(const FrmMain &) = delete;

  // The start steps, then the window is shown. A start that cannot go on ends the process.
  void start();

  const SettingsWindowHost &settingsWindow() const { return settingsWindow_; }
  const InfoWindow &infoWindow() const { return infoWindow_; }
  // Whether the search running or run last was stopped by the user.
  bool searchAborted() const { return search_.aborted(); }
  // The video window made last, open or closed; nullptr before the first watch.
  FrmVid *videoWindow() const { return buildWatchPage_.frmVid(); }

  MainControls controls;
  store::Settings settings;
  // The videos the lists show: the results of the last search and the favourites.
  video::VideoList results;
  video::VideoList favourites;

 private:
  void formLoad();
  void claimFolder();
  void formUnload();
  void bindKeys();

  ui::Toolkit &toolkit_;
  Environment env_;
  // The download command and the about window's link start klipfang-fetch beside the program.
  shell::BrowserRegistration browser_;
  FolderClaim folder_;
  store::SearchHistory history_;
  search::PageLines pageLines_;
  VideoView resultsView_;
  VideoView favouritesView_;
  BuildWatchPage buildWatchPage_;
  SearchCommands search_;
  FavouriteCommands favourites_;
  WatchCommand watch_;
  AddressCommands addresses_;
  ResultListReactions reactions_;
  SettingsWindowHost settingsWindow_;
  InfoWindow infoWindow_;
};

}  // namespace kf::windows
