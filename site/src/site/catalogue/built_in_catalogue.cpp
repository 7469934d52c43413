#include "site/catalogue/built_in_catalogue.h"

namespace kf::site {

std::filesystem::path defaultDataDir() {
  return KF_SITE_DATA_DIR;
}

std::shared_ptr<const BuiltInCatalogue> BuiltInCatalogue::load(const std::filesystem::path &dataDir) {
  Catalogue records = Catalogue::load(dataDir / "catalogue.txt");
  Media media = Media::load(dataDir, records);
  return std::make_shared<const BuiltInCatalogue>(std::move(records), std::move(media));
}

std::vector<Video> BuiltInCatalogue::featured(std::size_t count) const {
  std::vector<Video> out;
  const auto &videos = records_.videos();
  for (std::size_t i = 0; i < videos.size() && out.size() < count; i += 37) out.push_back(videos[i]);
  return out;
}

std::optional<Video> BuiltInCatalogue::find(std::string_view id) const {
  const Video *video = records_.find(id);
  return video ? std::optional<Video>(*video) : std::nullopt;
}

SearchPage BuiltInCatalogue::search(const std::vector<std::string> &foldedWords, std::size_t first,
                                    std::size_t count) const {
  const auto found = records_.search(foldedWords);
  SearchPage page{found.size(), {}};
  for (std::size_t i = first; i < found.size() && i < first + count; ++i) page.videos.push_back(*found[i]);
  return page;
}

SearchPage BuiltInCatalogue::every(std::size_t first, std::size_t count) const {
  const auto &videos = records_.videos();
  SearchPage page{videos.size(), {}};
  for (std::size_t i = first; i < videos.size() && i < first + count; ++i) page.videos.push_back(videos[i]);
  return page;
}

std::optional<VideoFile> BuiltInCatalogue::file(const Video &video) const {
  const std::string *clip = media_.clip(video.clip);
  if (!clip) return std::nullopt;
  return VideoFile{"video/webm", media_.clipTag(video.clip), {}, *clip, nullptr};
}

std::optional<std::string> BuiltInCatalogue::picture(const Video &video) const {
  const std::string *bytes = media_.picture(video.id);
  return bytes ? std::optional<std::string>(*bytes) : std::nullopt;
}

}  // namespace kf::site
