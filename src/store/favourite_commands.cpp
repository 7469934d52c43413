#include "store/favourite_commands.h"

#include <algorithm>
#include <array>
#include <string>

#include "net/shown_video_list.h"
#include "store/is_favourite.h"
#include "video/video_rows.h"

namespace kf::store {
namespace {

constexpr int kDeleteKey = 46;
constexpr int kNoIcon = 0;

}  // namespace

FavouriteCommands::FavouriteCommands(FavouriteControls controls, BuildWatchPage &buildWatchPage)
    : controls_(controls), buildWatchPage_(buildWatchPage) {
  controls_.cmdMark.onClick = [this] { cmdMark_Click(); };
  controls_.cmdDelFav.onClick = [this] { cmdDelFav_Click(); };
  controls_.cmdFavs.onClick = [this] { showOnly(controls_.lstFavs); };
  controls_.cmdToFav.onClick = [this] { showOnly(controls_.brw); };
  controls_.lstFavs.onDblClick = [this] { buildWatchPage_.watchSelected(controls_.lstFavs); };
  controls_.lstFavs.onKeyDown = [this](int keyCode, int /*shift*/) { lstFavs_KeyDown(keyCode); };
}

// A video is a favourite once: marking it again changes nothing. The view stays on the results.
void FavouriteCommands::cmdMark_Click() {
  const auto selected = video::selectedVideo(controls_.lstResult);
  if (!selected) {
    net::askToSelectAVideo(controls_.labSel);
    return;
  }
  if (!IsFavourite(controls_.lstFavs, selected->VideoId)) {
    video::appendVideoRow(controls_.lstFavs, std::to_string(controls_.lstFavs.count() + 1), *selected);
  }
  showStars(selected->VideoId);
  controls_.fraCMD.setVisible(false);
}

// Many videos share one description, so the favourite is found by its video id. A favourites file
// written before marking checked for doubles may hold a video twice: one copy goes at a time.
void FavouriteCommands::cmdDelFav_Click() {
  const auto selected = video::selectedVideo(controls_.lstResult);
  if (!selected) {
    net::askToSelectAVideo(controls_.labSel);
    return;
  }
  if (const int fav = video::findVideo(controls_.lstFavs, selected->VideoId)) controls_.lstFavs.removeItem(fav);
  showStars(selected->VideoId);
  controls_.fraCMD.setVisible(false);
}

// A video may stand in the results more than once (on two pages): every row of it shows the star
// exactly while the video is a favourite.
void FavouriteCommands::showStars(const std::string &videoId) {
  const int icon = IsFavourite(controls_.lstFavs, videoId) ? controls_.img.indexOf("fav") : kNoIcon;
  for (int row = 1; row <= controls_.lstResult.count(); ++row) {
    if (video::sameVideo(video::videoIdAt(controls_.lstResult, row), videoId) &&
        controls_.lstResult.smallIcon(row) != icon) {
      controls_.lstResult.setSmallIcon(row, icon);
    }
  }
}

// The four views share one place: exactly one of them is left visible, and the panel goes.
void FavouriteCommands::showOnly(ui::Control &view) {
  const std::array<ui::Control *, 4> views{&controls_.lstResult, &controls_.lstFavs, &controls_.lstFile,
                                           &controls_.brw};
  for (ui::Control *each : views) each->setVisible(each == &view);
  controls_.fraCMD.setVisible(false);
}

void FavouriteCommands::markShown() {
  if (!controls_.lstFavs.visible()) {
    cmdMark_Click();
  } else if (video::selectedRow(controls_.lstFavs) == 0) {
    net::askToSelectAVideo(controls_.labSel);
  }
}

void FavouriteCommands::unmarkShown() {
  if (!controls_.lstFavs.visible()) {
    cmdDelFav_Click();
  } else if (video::selectedRow(controls_.lstFavs) == 0) {
    net::askToSelectAVideo(controls_.labSel);
  } else {
    removeSelectedFavourite();
  }
}

void FavouriteCommands::lstFavs_KeyDown(int keyCode) {
  if (keyCode == kDeleteKey) removeSelectedFavourite();
}

// No confirmation; the other favourites keep their numbers. The next favourite is selected in the
// removed one's place, so that Delete goes on down the list.
void FavouriteCommands::removeSelectedFavourite() {
  const int row = video::selectedRow(controls_.lstFavs);
  if (row == 0) return;
  const std::string videoId(video::videoIdAt(controls_.lstFavs, row));
  controls_.lstFavs.removeItem(row);
  showStars(videoId);
  if (controls_.lstFavs.count() > 0) controls_.lstFavs.select(std::min(row, controls_.lstFavs.count()));
}

}  // namespace kf::store
