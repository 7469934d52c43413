#include "windows/main_layout.h"

#include <algorithm>
#include <initializer_list>

namespace kf::windows {
namespace {

// Gaps inside the results frame: a margin on the left and right, the views' distance from the
// frame's top and the room kept free under the progress bar.
constexpr float kMargin = 120;
constexpr float kViewTop = 240;

// The preview frame keeps the distance to the right edge it has at the start size, but never moves
// left of its start place, where it would cover the search bar.
constexpr float kPreviewStartLeft = 8160;
constexpr float kStartClientWidth = 10770;

void placeView(ui::Control &view, const MainControls &controls) {
  view.setLeft(kMargin);
  view.setTop(kViewTop);
  view.setWidth(controls.fraResult.width() - 2 * kMargin - controls.cmdFile.width() - kMargin);
  view.setHeight(controls.fraResult.height() - 2 * kViewTop - controls.prgDL.height());
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

void layoutMainWindow(MainControls &controls) {
  const float clientWidth = controls.window.clientWidth();
  const float clientHeight = controls.window.clientHeight();

  controls.fraSearch.setLeft(0);
  controls.fraResult.setLeft(0);
  controls.fraInfo.setLeft(0);
  controls.fraPreview.setLeft(std::max(kPreviewStartLeft, clientWidth - (kStartClientWidth - kPreviewStartLeft)));
  controls.fraResult.setWidth(clientWidth);
  controls.fraResult.setHeight(clientHeight - controls.fraResult.top());

  for (ui::Control *view :
       std::initializer_list<ui::Control *>{&controls.lstResult, &controls.lstFavs, &controls.lstFile, &controls.brw}) {
    placeView(*view, controls);
  }

  for (ui::Button *button : {&controls.cmdFile, &controls.cmdResults, &controls.cmdSets, &controls.cmdDL,
                             &controls.cmdWatch, &controls.cmdInfo, &controls.cmdToFav, &controls.cmdFavs}) {
    button->setLeft(controls.fraResult.width() - button->width() - kMargin);
  }

  controls.prgDL.setTop(controls.lstResult.top() + controls.lstResult.height());
  controls.prgDL.setLeft(kMargin);
  controls.prgDL.setWidth(controls.lstResult.width());

  divideResultColumns(controls.lstResult);
  divideResultColumns(controls.lstFavs);

  controls.fraCMD.setLeft(controls.fraResult.width() / 2 - controls.fraCMD.width() / 2);
  controls.fraCMD.setTop(controls.fraResult.height() / 2 - controls.fraCMD.height() / 2);

  controls.lstFile.setColumnWidth(1, 400);
  controls.lstFile.setColumnWidth(2, controls.lstFile.width() - 800);
}

}  // namespace kf::windows
