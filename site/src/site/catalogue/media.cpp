#include "site/catalogue/media.h"

#include <cstdint>
#include <cstdio>
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

std::string tagOf(const std::string &bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  char text[19];
  std::snprintf(text, sizeof text, "\"%016llx\"", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace

Media Media::load(const std::filesystem::path &dataDir, const Catalogue &catalogue) {
  Media media;
  for (const auto &video : catalogue.videos()) {
    if (!media.clips_.contains(video.clip)) {
      auto file = dataDir / "clips" / ("clip" + std::to_string(video.clip) + ".webm");
      auto bytes = readFile(file);
      if (!bytes) throw CatalogueError("missing clip " + file.string());
      media.clipTags_.emplace(video.clip, tagOf(*bytes));
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

std::string Media::clipTag(int number) const {
  auto it = clipTags_.find(number);
  return it == clipTags_.end() ? std::string() : it->second;
}

const std::string *Media::picture(const std::string &videoId) const {
  auto it = pictures_.find(videoId);
  return it == pictures_.end() ? nullptr : &it->second;
}

}  // namespace kf::site
