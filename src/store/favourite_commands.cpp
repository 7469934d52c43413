#include "store/favourite_commands.h"

#include <array>
#include <string>

#include "platform/text/cp1252.h"
#include "store/favourite_row.h"

namespace kf::store {
namespace {

constexpr int kDeleteKey = 46;
constexpr int kNoIcon = 0;

}  // namespace

FavouriteCommands::FavouriteCommands(FavouriteControls controls, BuildWatchPage &buildWatchPage)
    : c_(controls), buildWatchPage_(buildWatchPage) {
  c_.cmdMark.onClick = [this] { cmdMark_Click(); };
  c_.cmdDelFav.onClick = [this] { cmdDelFav_Click(); };
  c_.cmdFavs.onClick = [this] { showOnly(c_.lstFavs); };
  c_.cmdToFav.onClick = [this] { showOnly(c_.brw); };
  c_.lstFavs.onDblClick = [this] { buildWatchPage_.watchSelected(c_.lstFavs); };
  c_.lstFavs.onKeyDown = [this](int keyCode, int /*shift*/) { lstFavs_KeyDown(keyCode); };
}

// No duplicate test: marking a result twice keeps it twice. The view stays on the results.
void FavouriteCommands::cmdMark_Click() {
  const int row = selectedRow(c_.lstResult);
  if (row == 0) return;
  const FavouriteFields fields = fieldsOf(c_.lstResult, row);
  c_.lstResult.setSmallIcon(row, c_.img.indexOf("fav"));
  appendFavourite(c_.lstFavs, std::to_string(c_.lstFavs.count() + 1), fields);
  c_.fraCMD.setVisible(false);
}

// Favourites are found by their description, ignoring case, and only the first match goes: the
// result loses its mark even when another copy of it stays in the list.
void FavouriteCommands::cmdDelFav_Click() {
  const int row = selectedRow(c_.lstResult);
  if (row == 0) return;
  const std::string key = text::lower(fieldsOf(c_.lstResult, row)[0]);
  c_.lstResult.setSmallIcon(row, kNoIcon);
  for (int fav = 1; fav <= c_.lstFavs.count(); ++fav) {
    if (text::lower(fieldsOf(c_.lstFavs, fav)[0]) == key) {
      c_.lstFavs.removeItem(fav);
      break;
    }
  }
  c_.fraCMD.setVisible(false);
}

// The four views share one place: exactly one of them is left visible, and the panel goes.
void FavouriteCommands::showOnly(ui::Control &view) {
  const std::array<ui::Control *, 4> views{&c_.lstResult, &c_.lstFavs, &c_.lstFile, &c_.brw};
  for (ui::Control *each : views) each->setVisible(each == &view);
  c_.fraCMD.setVisible(false);
}

// No confirmation; the other favourites keep their numbers and the result list keeps its marks.
void FavouriteCommands::lstFavs_KeyDown(int keyCode) {
  if (keyCode != kDeleteKey) return;
  const int row = selectedRow(c_.lstFavs);
  if (row != 0) c_.lstFavs.removeItem(row);
}

}  // namespace kf::store
