#pragma once
// The main window and its controls, at the places and with the texts the user knows them by, made
// in the order that stacks them: a control made earlier lies on top (the command panel over the
// result list). Behaviour is wired elsewhere (frm_main.h); this struct is only the surface.
#include <string>

#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"

namespace kf::windows {

// Title bar text: the program's name and the maker's by-line.
std::string mainWindowCaption();

struct MainControls {
  explicit MainControls(ui::Toolkit &toolkit);

  ui::Window window;

  ui::Frame &fraPreview;
  ui::Label &labInfo;
  ui::Label &labWait;
  ui::ImageBox &imgPrev;
  ui::Frame &fraInfo;
  ui::Label &labSel;
  ui::Frame &fraResult;
  ui::Button &cmdFavs;
  ui::ListView &lstFavs;
  ui::ImageList img;
  ui::Frame &fraCMD;
  ui::Button &cmdDelFav;
  ui::Button &cmdMark;
  ui::Button &cmdDll;
  ui::Button &cmdLink;
  ui::Browser &brw;
  ui::Button &cmdToFav;
  ui::Button &cmdInfo;
  ui::Button &cmdWatch;
  ui::Button &cmdSets;
  ui::Button &cmdDL;
  ui::Button &cmdResults;
  ui::ListView &lstFile;
  ui::Button &cmdFile;
  ui::ProgressBar &prgDL;
  ui::ListView &lstResult;
  ui::Frame &fraSearch;
  ui::Button &cmdAbortS;
  ui::Button &cmdSearch;
  ui::TextBox &txtSearch;
  ui::Label &labSearch;
};

}  // namespace kf::windows
