#include "store/favourite_row.h"

namespace kf::store {

FavouriteFields fieldsOf(const ui::ListView &list, int row) {
  const auto &subItems = list.item(row).subItems;
  FavouriteFields fields;
  for (std::size_t i = 0; i < fields.size() && i < subItems.size(); ++i) fields[i] = subItems[i].text;
  return fields;
}

int selectedRow(const ui::ListView &list) {
  return list.count() == 0 ? 0 : list.selectedIndex();
}

int appendFavourite(ui::ListView &list, std::string number, const FavouriteFields &fields) {
  const int row = list.addItem(std::move(number));
  for (const auto &field : fields) list.addSubItem(row, field);
  return row;
}

}  // namespace kf::store
