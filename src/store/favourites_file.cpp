#include "store/favourites_file.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"
#include "store/save_failure.h"
#include "store/unreadable_file.h"
#include "store/whole_number.h"

namespace kf::store {
namespace {

// A favourite line holds five texts from a result page, each cut far below this where it entered;
// a longer line is damage, and keeping it whole would let one line fill the memory.
constexpr std::size_t kLongestLine = 8000;

std::string favouritesPath(const std::string &appDir) {
  return files::join(files::join(appDir, "dat"), "fav.kf");
}

// A line holds the fields in the order the lists show them: Description, VideoId, PictureUrl, Title,
// Duration. A field the line lacks is empty; fields after the fifth are dropped.
video::VideoEntry favouriteOfLine(const std::string &line) {
  auto pieces = text::split(line, '|');
  pieces.resize(std::max<std::size_t>(pieces.size(), 5));
  return {.Title = std::move(pieces[3]),
          .VideoId = std::move(pieces[1]),
          .PictureUrl = std::move(pieces[2]),
          .Description = std::move(pieces[0]),
          .Duration = std::move(pieces[4])};
}

std::string lineOf(const video::VideoEntry &favourite) {
  return favourite.Description + "|" + favourite.VideoId + "|" + favourite.PictureUrl + "|" + favourite.Title + "|" +
         favourite.Duration;
}

bool isBlank(const std::string &line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// The next line that is not blank, or nothing at the end of the file.
std::optional<std::string> nextLine(files::LineReader &reader) {
  while (!reader.atEnd()) {
    std::string line = reader.readLine();
    if (!isBlank(line)) return line;
  }
  return std::nullopt;
}

// Answers false when the file is damaged: no count line, or one that is no count.
bool readFavourites(video::VideoList &favourites, const std::string &path) {
  files::LineReader reader(path, {.longestLine = kLongestLine});
  const auto countLine = nextLine(reader);
  const auto count = countLine ? parseCount(*countLine) : std::nullopt;
  if (!count) return false;
  for (std::uint64_t number = 0; number < *count; ++number) {
    const auto line = nextLine(reader);
    if (!line) break;
    favourites.append(favouriteOfLine(*line));
  }
  return true;
}

}  // namespace

std::optional<std::string> LoadFavourites(video::VideoList &favourites, const std::string &appDir) {
  const std::string path = favouritesPath(appDir);
  if (!files::fileExists(path)) return std::nullopt;
  bool readable = false;
  try {
    readable = readFavourites(favourites, path);
  } catch (const Error &) {
    // Unreadable part way: what was read is not the whole list, so none of it is kept.
  }
  if (readable) return std::nullopt;
  favourites.clear();
  return moveAside(path, text::cp1252(u8"Die Favoriten"),
                   text::cp1252(u8"Klipfang beginnt mit einer leeren Favoritenliste."));
}

void SaveFavourites(const video::VideoList &favourites, const std::string &appDir) {
  std::vector<std::string> lines{std::to_string(favourites.count())};
  for (const video::VideoEntry &favourite : favourites.entries()) lines.push_back(lineOf(favourite));
  try {
    files::saveLinesAtomically(favouritesPath(appDir), lines);
  } catch (const Error &error) {
    throw SaveFailed("Die Favoriten", error);
  }
}

}  // namespace kf::store
