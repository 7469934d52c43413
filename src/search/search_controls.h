#pragma once
#include "platform/ui/controls.h"
#include "store/search_history.h"

namespace kf::search {

// The main window's controls and state that the search and the page views work with. The main
// window owns them all and hands them over by reference.
struct SearchControls {
  ui::TextBox &txtSearch;
  ui::Button &cmdSearch;
  ui::Button &cmdAbortS;
  ui::Button &cmdResults;
  ui::Button &cmdFile;
  ui::ProgressBar &prgDL;
  ui::ListView &lstResult;
  ui::ListView &lstFile;
  ui::ListView &lstFavs;
  ui::Browser &brw;
  ui::Frame &fraCMD;
  ui::Label &labSel;
  ui::ImageBox &imgPrev;
  const ui::ImageList &img;
  bool &AbortSearch;
  store::SearchHistory &history;
};

}  // namespace kf::search
