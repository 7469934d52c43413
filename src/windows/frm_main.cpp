#include "windows/frm_main.h"

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"
#include "store/favourites_file.h"
#include "store/settings_file.h"
#include "windows/command_panel.h"
#include "windows/main_layout.h"
#include "windows/open_in_browser.h"
#include "windows/store_messages.h"

namespace kf::windows {

FrmMain::FrmMain(ui::Toolkit &toolkit, Environment environment)
    : controls(toolkit),
      toolkit_(toolkit),
      env_(std::move(environment)),
      browser_(env_.appDir),
      resultsView_{results, controls.lstResult},
      favouritesView_{favourites, controls.lstFavs},
      buildWatchPage_(toolkit, env_.appDir, env_.site, settings),
      search_({controls.txtSearch, controls.cmdSearch, controls.cmdAbortS, controls.cmdResults, controls.cmdFile,
               controls.prgDL, resultsView_, favouritesView_, pageLines_, controls.lstFile, controls.brw,
               controls.fraCMD, controls.labSel, controls.imgPrev, controls.img, history_},
              settings, env_.site, env_.appDir),
      favourites_({resultsView_, favouritesView_, controls.lstFile, controls.brw, controls.fraCMD, controls.cmdMark,
                   controls.cmdDelFav, controls.cmdFavs, controls.cmdToFav, controls.labSel, controls.img},
                  buildWatchPage_),
      watch_({controls.cmdWatch, resultsView_, favouritesView_, controls.labSel}, buildWatchPage_),
      addresses_({resultsView_, favouritesView_, controls.fraCMD, controls.cmdDL, controls.cmdDll, controls.cmdLink,
                  controls.labSel},
                 env_.site),
      reactions_(controls, resultsView_, favouritesView_, settings, env_.appDir,
                 [this](const std::string &id, const std::string &film) { buildWatchPage_(id, film); }),
      settingsWindow_(toolkit, settings, history_),
      infoWindow_(toolkit, env_.site, rOpenInBrowser) {
  controls.window.onResize = [this] { layoutMainWindow(controls); };
  controls.window.onClose = [this] { formUnload(); };
  controls.cmdSets.onClick = [this] { settingsWindow_.open(); };
  controls.cmdInfo.onClick = [this] { infoWindow_.open(); };
  // The web engine and its helper processes cost more memory than the rest of the program: the
  // hidden browser loads the site's home page only when the site button first shows it.
  controls.cmdToFav.onClick = [this, showSite = std::move(controls.cmdToFav.onClick)] {
    if (controls.brw.location().empty()) controls.brw.navigate(env_.site.root);
    showSite();
  };
  showVideos(favouritesView_, {});
  wirePanel(controls);
  history_.onChange = [this] { controls.txtSearch.setSuggestions(history_.entries()); };
  bindKeys();
}

void FrmMain::start() {
  try {
    formLoad();
  } catch (const Error &e) {
    // Nothing can run without the data folder: the failure is shown the way any unexpected
    // run-time error is, and the program ends before its window appears.
    toolkit_.messageBox(text::cp1252(u8"Laufzeitfehler '") + std::to_string(e.number()) + "':\n\n" + e.description(),
                        "Klipfang", ui::MessageIcon::Critical);
    toolkit_.endProcess(1);
  }
  controls.window.show();
}

void FrmMain::formLoad() {
  const std::string dataDir = files::join(env_.appDir, "dat");
  if (!files::folderExists(dataDir)) files::createFolder(dataDir);
  claimFolder();
  try {
    store::LoadSettings(settings, env_.appDir);
  } catch (const store::SettingsUnreadable &unreadable) {
    toolkit_.messageBox(unreadable.description(), store::SettingsUnreadable::kCaption, ui::MessageIcon::Critical);
    toolkit_.endProcess(1);
  }
  tellNotice(store::LoadFavourites(favourites, env_.appDir));
  tellNotice(history_.load(env_.appDir));
}

// Before any file is read: a start on a folder that another program holds ends without touching it.
void FrmMain::claimFolder() {
  // A message box of the start or close steps lets a later start's word in. A window not yet shown
  // may never be, and a closing one goes away: neither takes the word, and the later start tries
  // again until this program has either shown its window or ended.
  const FolderClaim::Outcome outcome = folder_.claim(env_.appDir, [this] {
    if (!controls.window.isOpen()) return false;
    controls.window.show();
    return true;
  });
  if (outcome == FolderClaim::Outcome::Ours) return;
  if (outcome == FolderClaim::Outcome::Unreachable) {
    toolkit_.messageBox(text::cp1252(u8"Klipfang läuft bereits mit diesem Ordner:\n") + env_.appDir +
                            text::cp1252(u8"\n\nDas laufende Klipfang antwortet nicht. Beenden Sie es, bevor Sie "
                                         u8"Klipfang hier noch einmal starten."),
                        "Klipfang", ui::MessageIcon::Exclamation);
    toolkit_.endProcess(1);
  }
  toolkit_.endProcess(0);
}

// The window counts as closed from here on: a later start's word is refused (claimFolder), so it
// waits for this program to end and then runs in its place.
void FrmMain::formUnload() {
  saveTelling([this] { store::SaveSettings(settings, env_.appDir); });
  saveTelling([this] { store::SaveFavourites(favourites, env_.appDir); });
  saveTelling([this] { history_.save(); });
  toolkit_.endProcess(0);
}

}  // namespace kf::windows
