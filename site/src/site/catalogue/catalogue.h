#pragma once
// The site's videos, read from the committed catalogue file. Loading checks every record against
// what the result pages promise the program: ids it can cut out, titles that fit between single
// quotes, no "|" anywhere, no text that could pose as an entry marker.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kf::site {

// The video window's engine plays the file as it is, or a stream the site makes of it, or nothing.
enum class Playback { File, Stream, None };

struct Video {
  std::string id;        // 11 characters from letters, digits, "-" and "_"
  std::string title;     // UTF-8
  std::string duration;  // "m:ss"
  int seconds = 0;       // the same as a number
  int clip = 0;          // which shared clip plays for this video
  std::vector<std::string> tags;
  std::string description;  // UTF-8, may hold "<br/>" and tabs
  std::string searchText;   // title, description and tags, case-folded
  // A video of the user's own: its path in the library, and how the video window plays it.
  std::string fileName;
  Playback playback = Playback::File;
  std::string cannotPlay;  // why not, in German, for Playback::None
};

class CatalogueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Catalogue {
 public:
  // One video per line: id|title|duration|clip|tags|description; "#" starts a comment line.
  static Catalogue parse(std::string_view text);
  static Catalogue load(const std::filesystem::path &file);

  const std::vector<Video> &videos() const { return videos_; }
  const Video *find(std::string_view id) const;

  // Videos whose title, description or tags hold every one of the case-folded words, in
  // catalogue order. No words, no videos.
  std::vector<const Video *> search(const std::vector<std::string> &foldedWords) const;

 private:
  std::vector<Video> videos_;
};

}  // namespace kf::site
