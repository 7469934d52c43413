#pragma once
#include "platform/ui/controls.h"
#include "search/page_lines.h"
#include "store/search_history.h"
#include "windows/video_rows.h"

namespace kf::windows {

// The main window's controls and the lists that the search and the page views work with. The main
// window owns them all and hands them over by reference.
struct SearchControls {
  ui::TextBox &txtSearch;
  ui::Button &cmdSearch;
  ui::Button &cmdAbortS;
  ui::Button &cmdResults;
  ui::Button &cmdFile;
  ui::ProgressBar &prgDL;
  VideoView results;
  VideoView favourites;
  search::PageLines &pageLines;
  ui::ListView &lstFile;
  ui::Browser &brw;
  ui::Frame &fraCMD;
  ui::Label &labSel;
  ui::ImageBox &imgPrev;
  const ui::ImageList &img;
  store::SearchHistory &history;
};

}  // namespace kf::windows
