#pragma once
// A folder of the user's own videos as the site's catalogue: its rows in SQLite, kept up to date by
// a scan at start and then every minute, its files served from the folder, its pictures made by
// FFmpeg. A request names a video by its id only; no request can reach a file that is not a
// listed video under the folder.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "site/catalogue/video_catalogue.h"
#include "site/library/catalogue_lock.h"
#include "site/library/library_error.h"
#include "site/library/picture_cache.h"
#include "site/library/readers.h"
#include "site/library/scanner.h"
#include "site/library/store.h"
#include "site/library/title_order.h"
#include "site/stream/streams.h"

namespace kf::site::library {

struct LibraryOptions {
  std::filesystem::path folder;
  std::filesystem::path database;       // empty: one file per library in the user's cache folder
  std::filesystem::path workerProgram;  // klipfang-site, started as the FFmpeg worker
  std::string standInPicture;           // JPEG bytes
  std::chrono::seconds rescanEvery{60};
  bool scan = true;  // false: serve the catalogue as it is, never look at the folder
  std::function<void(const std::string &)> log = [](const std::string &) {};
  std::string converter = "ffmpeg";             // the program that makes the streams
  std::uint64_t streamCacheBytes = 4ULL << 30;  // the cap of the streams' segments
  std::filesystem::path streamPlayer;           // the script of the player library that plays them
  std::chrono::milliseconds searchTime{2000};   // a search that runs longer is given up
  bool newKey = false;                          // make a new access key, in place of the one kept
};

// Where the data folder holds the player library's script (site/data/player/README).
inline constexpr const char *kStreamPlayer = "player/hls.light.min.js";

// $XDG_CACHE_HOME/klipfang-site/ (or ~/.cache/klipfang-site/), a file named after the folder.
std::filesystem::path defaultDatabase(const std::filesystem::path &realFolder);

class Library final : public VideoCatalogue {
 public:
  // Checks the folder (LibraryError, before anything is created), makes the catalogue ready and
  // starts the scans in the background.
  explicit Library(LibraryOptions options);
  ~Library() override;
  Library(const Library &) = delete;
  Library &operator=(const Library &) = delete;

  // The address a site that runs on the folder's catalogue announced; empty when none runs. Throws
  // LibraryError when the folder cannot be served.
  static std::optional<std::string> runningAddress(const std::filesystem::path &folder,
                                                   const std::filesystem::path &database);

  // The address the site answers on, for a launcher that finds it running (CatalogueLock).
  void announce(const std::string &address) { lock_->announce(address); }
  const std::filesystem::path &database() const { return database_; }

  // Scans now, in the caller's thread, and answers what it found.
  ScanCounts rescan();
  // Waits until the scan at start has ended.
  void waitForFirstScan();

  std::size_t count() const override;
  std::vector<Video> featured(std::size_t count) const override;
  std::optional<Video> find(std::string_view id) const override;
  SearchPage search(const std::vector<std::string> &foldedWords, std::size_t first, std::size_t count) const override;
  SearchPage every(std::size_t first, std::size_t count) const override;
  std::optional<VideoFile> file(const Video &video) const override;
  std::optional<std::string> picture(const Video &video) const override;
  std::string folderIdentity() const override { return identity_; }
  std::string folderName() const override;
  void prepareStream(const Video &video) const override;
  StreamOutline streamOutline(const Video &video) const override;
  std::shared_ptr<const OpenFile> streamSegment(const Video &video, std::size_t index) const override;
  std::shared_ptr<const OpenFile> streamPlayer() const override { return OpenFile::open(options_.streamPlayer); }
  std::string accessKey() const override { return key_; }

 private:
  void scanLoop();
  ScanCounts scanOnce(bool first);
  std::optional<Row> row(std::string_view id) const;
  std::shared_ptr<const OpenFile> open(const Row &row) const;
  std::optional<stream::Source> streamSource(const Video &video) const;
  void renewTitleOrder();
  std::shared_ptr<const TitleOrder> titleOrder() const;
  // How many rows a search found, and the rowids of the page asked for.
  struct Ranked {
    std::size_t total = 0;
    std::vector<std::int64_t> rowids;
  };
  // The page `rank` picks, its rows read as videos, on a search's reader.
  SearchPage page(const std::function<Ranked(Store &, const TitleOrder &)> &rank) const;

  LibraryOptions options_;
  std::filesystem::path root_;  // the folder, links resolved
  std::string identity_;
  std::filesystem::path database_;
  std::unique_ptr<CatalogueLock> lock_;
  std::string key_;
  std::unique_ptr<Readers> readers_;  // for lookups
  std::unique_ptr<Readers> searches_;
  std::unique_ptr<PictureCache> pictures_;
  std::unique_ptr<stream::Streams> streams_;
  Scanner scanner_;

  mutable std::mutex orderMutex_;
  std::shared_ptr<const TitleOrder> titleOrder_;

  std::mutex scanMutex_;  // one scan at a time
  std::mutex stateMutex_;
  std::condition_variable wake_;
  bool firstScanDone_ = false;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace kf::site::library
