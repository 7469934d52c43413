#pragma once
// The part of the main window the search works on, built headless at the program's places, with
// the toolkit installed for the handlers to use.
#include <string>
#include <vector>

#include "platform/ui/headless_toolkit.h"
#include "platform/ui/window.h"
#include "search/result_models.h"
#include "store/settings.h"
#include "windows/search_controls.h"

namespace kf::test {

struct InstalledToolkit {
  explicit InstalledToolkit(ui::HeadlessToolkit &tk) { ui::setToolkit(tk); }
};

struct SearchWindow {
  SearchWindow();

  // The lists a search fills, with the window's events run once per marker, as the search runs them.
  search::ResultModels views() {
    return {pageLines, results, settings, [] { ui::toolkit().doEvents(); }};
  }
  windows::SearchControls controls();

  // Row `number` of a list as its text followed by the texts of its sub-items.
  static std::vector<std::string> row(const ui::ListView &list, int number);
  // Adds a favourite with this id.
  void addFavourite(const std::string &id);

  ui::HeadlessToolkit tk;
  InstalledToolkit installed{tk};
  ui::Window window;
  ui::Frame &fraResult;
  ui::ListView &lstFavs;
  ui::Frame &fraCMD;
  ui::Browser &brw;
  ui::Button &cmdResults;
  ui::ListView &lstFile;
  ui::Button &cmdFile;
  ui::ProgressBar &prgDL;
  ui::ListView &lstResult;
  ui::Frame &fraSearch;
  ui::Button &cmdAbortS;
  ui::Button &cmdSearch;
  ui::TextBox &txtSearch;
  ui::ImageBox &imgPrev;
  ui::Label &labSel;
  ui::ImageList img{{{"fav", "fav.svg", "Favorit"}}};
  video::VideoList results;
  video::VideoList favourites;
  search::PageLines pageLines;
  store::SearchHistory history;
  store::Settings settings{3, true, false, false};
};

}  // namespace kf::test
