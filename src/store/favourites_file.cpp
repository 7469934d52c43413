#include "store/favourites_file.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/text/cp1252.h"
#include "store/favourite_row.h"
#include "store/parse_int16.h"

namespace kf::store {
namespace {

std::string favouritesPath(const std::string &appDir) {
  return files::join(files::join(appDir, "dat"), "fav.kf");
}

FavouriteFields fieldsOfLine(const std::string &line) {
  const auto pieces = text::split(line, '|');
  FavouriteFields fields;
  std::copy_n(pieces.begin(), std::min(pieces.size(), fields.size()), fields.begin());
  return fields;
}

std::string lineOf(const FavouriteFields &fields) {
  std::string line = fields[0];
  for (std::size_t i = 1; i < fields.size(); ++i) line.append("|").append(fields[i]);
  return line;
}

}  // namespace

void LoadFavourites(ui::ListView &lstFavs, const std::string &appDir) {
  const std::string path = favouritesPath(appDir);
  if (!files::fileExists(path)) return;
  try {
    files::LineReader reader(path);
    const auto count = parseInt16(reader.readLine());
    if (!count) return;
    for (int i = 1; i <= *count && !reader.atEnd(); ++i) {
      appendFavourite(lstFavs, std::to_string(i), fieldsOfLine(reader.readLine()));
    }
  } catch (const Error &) {
    // An unreadable file loads nothing; the rows appended so far stay.
  }
}

void SaveFavourites(const ui::ListView &lstFavs, const std::string &appDir) {
  const int count = std::min(lstFavs.count(), static_cast<int>(std::numeric_limits<std::int16_t>::max()));
  std::vector<std::string> lines{std::to_string(count)};
  for (int row = 1; row <= count; ++row) lines.push_back(lineOf(fieldsOf(lstFavs, row)));
  try {
    files::saveLinesAtomically(favouritesPath(appDir), lines);
  } catch (const Error &) {
    // Nothing to tell: the old file is still whole, and the program ends right after.
  }
}

}  // namespace kf::store
