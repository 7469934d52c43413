#pragma once
// The five fields a row of the result and favourites lists carries as sub-items 1 to 5:
// Description, VideoId, PictureUrl, Title, Duration.
#include <array>
#include <string>

#include "platform/ui/controls.h"

namespace kf::store {

constexpr int kFavouriteFields = 5;
using FavouriteFields = std::array<std::string, kFavouriteFields>;

// A sub-item the row does not have reads as an empty field, so a damaged row is carried on whole
// instead of stopping whoever copies or saves it.
FavouriteFields fieldsOf(const ui::ListView &list, int row);

// The selected row, or 0 when the list is empty or has no row selected.
int selectedRow(const ui::ListView &list);

// Appends a row with this number text and the five fields; answers its position.
int appendFavourite(ui::ListView &list, std::string number, const FavouriteFields &fields);

}  // namespace kf::store
