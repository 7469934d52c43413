#include "app/main_layout.h"

#include <algorithm>
#include <initializer_list>

namespace kf::app {
namespace {

// Gaps inside the results frame: a margin on the left and right, the views' distance from the
// frame's top and the room kept free under the progress bar.
constexpr float kMargin = 120;
constexpr float kViewTop = 240;

// The preview frame keeps the distance to the right edge it has at the start size, but never moves
// left of its start place, where it would cover the search bar.
constexpr float kPreviewStartLeft = 8160;
constexpr float kStartClientWidth = 10770;

void placeView(ui::Control &view, const MainControls &c) {
  view.setLeft(kMargin);
  view.setTop(kViewTop);
  view.setWidth(c.fraResult.width() - 2 * kMargin - c.cmdFile.width() - kMargin);
  view.setHeight(c.fraResult.height() - 2 * kViewTop - c.prgDL.height());
}

// Columns 3 and 4 carry the video id and picture address without being seen.
void divideResultColumns(ui::ListView &list) {
  const float width = list.width();
  list.setColumnWidth(1, 800);
  list.setColumnWidth(2, width / 2 + 800);
  list.setColumnWidth(5, width / 2 - 2800);
  list.setColumnWidth(6, 800);
  list.setColumnWidth(3, 0);
  list.setColumnWidth(4, 0);
}

}  // namespace

void layoutMainWindow(MainControls &c) {
  const float w = c.window.clientWidth();
  const float h = c.window.clientHeight();

  c.fraSearch.setLeft(0);
  c.fraResult.setLeft(0);
  c.fraInfo.setLeft(0);
  c.fraPreview.setLeft(std::max(kPreviewStartLeft, w - (kStartClientWidth - kPreviewStartLeft)));
  c.fraResult.setWidth(w);
  c.fraResult.setHeight(h - c.fraResult.top());

  for (ui::Control *view : std::initializer_list<ui::Control *>{&c.lstResult, &c.lstFavs, &c.lstFile, &c.brw}) {
    placeView(*view, c);
  }

  for (ui::Button *button :
       {&c.cmdFile, &c.cmdResults, &c.cmdSets, &c.cmdDL, &c.cmdWatch, &c.cmdInfo, &c.cmdToFav, &c.cmdFavs}) {
    button->setLeft(c.fraResult.width() - button->width() - kMargin);
  }

  c.prgDL.setTop(c.lstResult.top() + c.lstResult.height());
  c.prgDL.setLeft(kMargin);
  c.prgDL.setWidth(c.lstResult.width());

  divideResultColumns(c.lstResult);
  divideResultColumns(c.lstFavs);

  c.fraCMD.setLeft(c.fraResult.width() / 2 - c.fraCMD.width() / 2);
  c.fraCMD.setTop(c.fraResult.height() / 2 - c.fraCMD.height() / 2);

  c.lstFile.setColumnWidth(1, 400);
  c.lstFile.setColumnWidth(2, c.lstFile.width() - 800);
}

}  // namespace kf::app
