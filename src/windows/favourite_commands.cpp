#include "windows/favourite_commands.h"

#include <algorithm>
#include <array>
#include <string>

#include "store/is_favourite.h"
#include "windows/shown_video_list.h"

namespace kf::windows {
namespace {

constexpr int kNoIcon = 0;

}  // namespace

FavouriteCommands::FavouriteCommands(FavouriteControls controls, BuildWatchPage &buildWatchPage)
    : controls_(controls), buildWatchPage_(buildWatchPage) {
  controls_.cmdMark.onClick = [this] { cmdMark_Click(); };
  controls_.cmdDelFav.onClick = [this] { cmdDelFav_Click(); };
  controls_.cmdFavs.onClick = [this] { showOnly(controls_.favourites.list); };
  controls_.cmdToFav.onClick = [this] { showOnly(controls_.brw); };
  controls_.favourites.list.onDblClick = [this] { buildWatchPage_.watchSelected(controls_.favourites); };
  controls_.favourites.list.onKeyDown = [this](int keyCode, int /*shift*/) { lstFavs_KeyDown(keyCode); };
}

// A video is a favourite once: marking it again changes nothing. The view stays on the results.
void FavouriteCommands::cmdMark_Click() {
  const auto selected = controls_.results.selected();
  if (!selected) {
    askToSelectAVideo(controls_.labSel);
    return;
  }
  if (!store::IsFavourite(controls_.favourites.videos, selected->VideoId))
    controls_.favourites.videos.append(*selected);
  showStars(selected->VideoId);
  controls_.fraCMD.setVisible(false);
}

// Many videos share one description, so the favourite is found by its video id. A favourites file
// written before marking checked for doubles may hold a video twice: one copy goes at a time.
void FavouriteCommands::cmdDelFav_Click() {
  const auto selected = controls_.results.selected();
  if (!selected) {
    askToSelectAVideo(controls_.labSel);
    return;
  }
  if (const int fav = controls_.favourites.videos.find(selected->VideoId)) controls_.favourites.videos.remove(fav);
  showStars(selected->VideoId);
  controls_.fraCMD.setVisible(false);
}

// A video may stand in the results more than once (on two pages): every row of it shows the star
// exactly while the video is a favourite.
void FavouriteCommands::showStars(const std::string &videoId) {
  const int icon = store::IsFavourite(controls_.favourites.videos, videoId) ? controls_.img.indexOf("fav") : kNoIcon;
  ui::ListView &list = controls_.results.list;
  for (int row = 1; row <= controls_.results.videos.count(); ++row) {
    if (video::sameVideo(controls_.results.videos.at(row).VideoId, videoId) && list.smallIcon(row) != icon) {
      list.setSmallIcon(row, icon);
    }
  }
}

// The four views share one place: exactly one of them is left visible, and the panel goes.
void FavouriteCommands::showOnly(ui::Control &view) {
  const std::array<ui::Control *, 4> views{&controls_.results.list, &controls_.favourites.list, &controls_.lstFile,
                                           &controls_.brw};
  for (ui::Control *each : views) each->setVisible(each == &view);
  controls_.fraCMD.setVisible(false);
}

void FavouriteCommands::markShown() {
  if (!controls_.favourites.list.visible()) {
    cmdMark_Click();
  } else if (controls_.favourites.selectedRow() == 0) {
    askToSelectAVideo(controls_.labSel);
  }
}

void FavouriteCommands::unmarkShown() {
  if (!controls_.favourites.list.visible()) {
    cmdDelFav_Click();
  } else if (controls_.favourites.selectedRow() == 0) {
    askToSelectAVideo(controls_.labSel);
  } else {
    removeSelectedFavourite();
  }
}

void FavouriteCommands::lstFavs_KeyDown(int keyCode) {
  if (keyCode == ui::keys::kDelete) removeSelectedFavourite();
}

// No confirmation; the other favourites keep their numbers. The next favourite is selected in the
// removed one's place, so that Delete goes on down the list.
void FavouriteCommands::removeSelectedFavourite() {
  const int row = controls_.favourites.selectedRow();
  if (row == 0) return;
  const std::string videoId = controls_.favourites.videos.at(row).VideoId;
  controls_.favourites.videos.remove(row);
  showStars(videoId);
  if (const int left = controls_.favourites.videos.count(); left > 0)
    controls_.favourites.list.select(std::min(row, left));
}

}  // namespace kf::windows
