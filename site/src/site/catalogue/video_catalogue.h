#pragma once
// What the pages ask of a catalogue, whichever one the site serves: the committed videos of the
// built-in catalogue or a folder of the user's own. The page writer knows only this.
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "site/catalogue/catalogue.h"
#include "site/catalogue/open_file.h"

namespace kf::site {

// Thrown by a catalogue that cannot answer now (every connection busy, a search that ran too long):
// the page answers 503 and asks the client to come back. Its text is German, for the page.
class CatalogueBusy : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SearchPage {
  std::size_t total = 0;      // how many videos match in all
  std::vector<Video> videos;  // the asked-for slice of them, best first
};

// A video's file as the file request serves it: in memory, or an open file read piece by piece.
struct VideoFile {
  std::string contentType;
  std::string etag;          // quoted and strong; the same for the same bytes across restarts
  std::string lastModified;  // an HTTP date, or empty
  std::string bytes;
  std::shared_ptr<const OpenFile> file;
};

// A stream of a video the engine cannot play as it is: the lengths of its segments in seconds, or,
// when none can be made, why not in German.
struct StreamOutline {
  std::vector<double> seconds;
  std::string problem;
};

class VideoCatalogue {
 public:
  virtual ~VideoCatalogue() = default;

  virtual std::size_t count() const = 0;
  // A few videos for the home page.
  virtual std::vector<Video> featured(std::size_t count) const = 0;
  virtual std::optional<Video> find(std::string_view id) const = 0;
  // The videos that hold every one of the case-folded words, from the `first` match on. Any of
  // these may throw CatalogueBusy.
  virtual SearchPage search(const std::vector<std::string> &foldedWords, std::size_t first,
                            std::size_t count) const = 0;
  // Every video, from the `first` on: a library's by folder and title, the built-in catalogue's in
  // its order.
  virtual SearchPage every(std::size_t first, std::size_t count) const = 0;
  // Empty when the file is gone.
  virtual std::optional<VideoFile> file(const Video &video) const = 0;
  // A JPEG preview; empty when there is none.
  virtual std::optional<std::string> picture(const Video &video) const = 0;
  // The folder of the user's whose videos these are, as the file system knows it: its device and
  // inode, "DEVICE:INODE" in decimal as `stat -L -c %d:%i FOLDER` prints them, whichever path
  // named it. Empty for the built-in catalogue.
  virtual std::string folderIdentity() const = 0;
  // The name of that folder, as page text; empty for the built-in catalogue.
  virtual std::string folderName() const = 0;
  // The key every address of the site must carry as its first segment ("/KEY/..."): the user's
  // own videos are shown only to whom he gave it. Empty for the built-in catalogue.
  virtual std::string accessKey() const = 0;

  // For a video with Playback::Stream; the built-in catalogue has none. Its player is on the way.
  virtual void prepareStream(const Video &) const {}
  virtual StreamOutline streamOutline(const Video &) const { return {{}, "Dieses Video hat keinen Datenstrom."}; }
  // The segment, made when first asked for; empty when it cannot be made.
  virtual std::shared_ptr<const OpenFile> streamSegment(const Video &, std::size_t) const { return nullptr; }
  // The script of the player library that plays the streams in the engine.
  virtual std::shared_ptr<const OpenFile> streamPlayer() const { return nullptr; }
};

}  // namespace kf::site
