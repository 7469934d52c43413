#pragma once
// The committed catalogue with its shared clips and pictures, answering as every catalogue does.
#include <filesystem>

#include "site/catalogue/catalogue.h"
#include "site/catalogue/media.h"
#include "site/catalogue/video_catalogue.h"

namespace kf::site {

// The data folder in the source tree, where the committed catalogue and media lie.
std::filesystem::path defaultDataDir();

class BuiltInCatalogue final : public VideoCatalogue {
 public:
  BuiltInCatalogue(Catalogue records, Media media) : records_(std::move(records)), media_(std::move(media)) {}
  // Reads catalogue.txt, clips/ and pictures/ from the data folder; throws CatalogueError.
  static std::shared_ptr<const BuiltInCatalogue> load(const std::filesystem::path &dataDir);

  const Catalogue &records() const { return records_; }

  std::size_t count() const override { return records_.videos().size(); }
  std::vector<Video> featured(std::size_t count) const override;
  std::optional<Video> find(std::string_view id) const override;
  SearchPage search(const std::vector<std::string> &foldedWords, std::size_t first, std::size_t count) const override;
  SearchPage every(std::size_t first, std::size_t count) const override;
  std::optional<VideoFile> file(const Video &video) const override;
  std::optional<std::string> picture(const Video &video) const override;
  std::string folderIdentity() const override { return {}; }
  std::string folderName() const override { return {}; }
  std::string accessKey() const override { return {}; }

 private:
  Catalogue records_;
  Media media_;
};

}  // namespace kf::site
