#include "media.h"

#include <fstream>
#include <optional>
#include <sstream>

namespace kf::site {
namespace {

std::optional<std::string> readFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

Media Media::load(const std::filesystem::path &dataDir, const Catalogue &catalogue) {
  Media media;
  for (const auto &video : catalogue.videos()) {
    if (!media.clips_.contains(video.clip)) {
      auto file = dataDir / "clips" / ("clip" + std::to_string(video.clip) + ".webm");
      auto bytes = readFile(file);
      if (!bytes) throw CatalogueError("missing clip " + file.string());
      media.clips_.emplace(video.clip, std::move(*bytes));
    }
    if (auto bytes = readFile(dataDir / "pictures" / (video.id + ".jpg"))) {
      media.pictures_.emplace(video.id, std::move(*bytes));
    }
  }
  return media;
}

const std::string *Media::clip(int number) const {
  auto it = clips_.find(number);
  return it == clips_.end() ? nullptr : &it->second;
}

const std::string *Media::picture(const std::string &videoId) const {
  auto it = pictures_.find(videoId);
  return it == pictures_.end() ? nullptr : &it->second;
}

}  // namespace kf::site
