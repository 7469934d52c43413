#pragma once
// The clips and preview pictures, read once at start: a few megabytes at most.
#include <filesystem>
#include <map>
#include <string>

#include "site/catalogue/catalogue.h"

namespace kf::site {

class Media {
 public:
  // Reads data/clips/clipN.webm for every clip the catalogue uses (each must exist) and
  // data/pictures/ID.jpg for every video that has one.
  static Media load(const std::filesystem::path &dataDir, const Catalogue &catalogue);

  const std::string *clip(int number) const;
  // The clip's entity tag: quoted, strong, and the same for the same bytes across restarts, so that a
  // download broken off before one can go on after it.
  std::string clipTag(int number) const;
  const std::string *picture(const std::string &videoId) const;

 private:
  std::map<int, std::string> clips_;
  std::map<int, std::string> clipTags_;
  std::map<std::string, std::string> pictures_;
};

}  // namespace kf::site
