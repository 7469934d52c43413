#pragma once
// The main window with its behaviour: the start and close steps and the wiring of every control to
// the subsystem that handles it. Each subsystem installs its own handlers when it is made here.
#include <string>

#include "app/folder_claim.h"
#include "app/frm_info.h"
#include "app/main_controls.h"
#include "app/result_list_reactions.h"
#include "net/download_commands.h"
#include "net/site_address.h"
#include "platform/os/shell/registry.h"
#include "search/search_commands.h"
#include "store/build_watch_page.h"
#include "store/favourite_commands.h"
#include "store/frm_settings.h"
#include "store/search_history.h"
#include "store/settings.h"
#include "store/watch_command.h"

namespace kf::app {

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

  const store::SettingsWindowHost &settingsWindow() const { return settingsWindow_; }
  const InfoWindow &infoWindow() const { return infoWindow_; }
  // The video window made last, open or closed; nullptr before the first watch.
  store::FrmVid *videoWindow() const { return buildWatchPage_.frmVid(); }

  MainControls controls;
  store::Settings settings;
  bool AbortSearch = false;

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
  store::BuildWatchPage buildWatchPage_;
  search::SearchCommands search_;
  store::FavouriteCommands favourites_;
  store::WatchCommand watch_;
  net::DownloadCommands downloads_;
  ResultListReactions reactions_;
  store::SettingsWindowHost settingsWindow_;
  InfoWindow infoWindow_;
};

}  // namespace kf::app
