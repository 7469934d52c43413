#include "site/library/library.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "site/library/access_key.h"
#include "site/library/folder_walk.h"
#include "site/library/search_folding.h"
#include "site/library/video_id.h"
#include "site/library/video_kinds.h"
#include "site/library/video_text.h"
#include "site/worker/play_way.h"

namespace kf::site::library {
namespace {

// Three searches at a time, and the lookups of the other pages (a watch page, a picture, a file)
// on connections of their own, so that no run of searches holds them up.
constexpr ReaderLimits kSearchReaders{3, std::chrono::seconds(2)};
constexpr ReaderLimits kLookupReaders{2, std::chrono::seconds(2)};

std::filesystem::path checkedFolder(const std::filesystem::path &folder) {
  std::error_code error;
  std::filesystem::path real = std::filesystem::canonical(folder, error);
  if (error) throw LibraryError("Den Ordner „" + folder.string() + "“ gibt es nicht.");
  if (!std::filesystem::is_directory(real, error)) throw LibraryError("„" + folder.string() + "“ ist kein Ordner.");
  if (::access(real.c_str(), R_OK | X_OK) != 0) {
    throw LibraryError("Der Ordner „" + folder.string() + "“ lässt sich nicht lesen.");
  }
  return real;
}

FolderRecord recordOf(const std::filesystem::path &folder) {
  struct stat status {};
  ::stat(folder.c_str(), &status);
  return {static_cast<std::int64_t>(status.st_dev), static_cast<std::int64_t>(status.st_ino), folder.string()};
}

std::string httpDate(std::int64_t nanoseconds) {
  const auto seconds = static_cast<std::time_t>(nanoseconds / 1'000'000'000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[64];
  std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &utc);
  return text;
}

std::string counted(std::size_t count, const char *one, const char *more) {
  return std::to_string(count) + " " + (count == 1 ? one : more);
}

Video videoOf(const Row &row) {
  Video video;
  video.id = row.id;
  video.title = row.title;
  video.duration = durationText(row.seconds);
  video.seconds = static_cast<int>(std::min<std::int64_t>(row.seconds, 1'000'000'000));
  video.description = row.description;
  video.fileName = pageText(row.path, 4096, false);
  namespace way = worker::play_way;
  video.playback = row.playWay == way::kAsItIs   ? Playback::File
                   : row.playWay == way::kCannot ? Playback::None
                                                 : Playback::Stream;
  video.cannotPlay = row.cannotPlay;
  return video;
}

}  // namespace

std::filesystem::path defaultDatabase(const std::filesystem::path &realFolder) {
  const char *cache = std::getenv("XDG_CACHE_HOME");
  const char *home = std::getenv("HOME");
  const std::filesystem::path base = cache && *cache == '/' ? std::filesystem::path(cache)
                                     : home && *home        ? std::filesystem::path(home) / ".cache"
                                                            : std::filesystem::temp_directory_path();
  std::string name;
  for (char c : realFolder.filename().string()) {
    name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
  }
  return base / "klipfang-site" / (name.substr(0, 40) + "-" + videoId(realFolder.string()) + ".sqlite");
}

Library::Library(LibraryOptions options)
    : options_(std::move(options)),
      root_(checkedFolder(options_.folder)),
      identity_([this] {
        const FolderRecord record = recordOf(root_);
        return std::to_string(record.device) + ":" + std::to_string(record.inode);
      }()),
      database_(options_.database.empty() ? defaultDatabase(root_) : options_.database),
      scanner_(root_, database_, options_.workerProgram, [this](const Stamp &stamp) {
        pictures_->forget(stamp);
        streams_->forget({stamp.id, stamp.size, stamp.mtime});
      }) {
  std::error_code error;
  std::filesystem::create_directories(database_.parent_path(), error);
  if (error) {
    throw LibraryError("Der Ordner „" + database_.parent_path().string() +
                       "“ für den Katalog lässt sich nicht anlegen: " + error.message());
  }
  lock_ = std::make_unique<CatalogueLock>(database_, root_);
  try {
    Store::prepare(database_, options_.log, recordOf(root_));
  } catch (const OtherFolder &other) {
    throw LibraryError("Der Katalog „" + database_.string() + "“ gehört zum Ordner „" + other.recordedPath() +
                       "“, nicht zu „" + root_.string() +
                       "“. Geben Sie für diesen Ordner mit --database einen eigenen Katalog an.");
  } catch (const DatabaseError &e) {
    throw LibraryError("Der Katalog „" + database_.string() + "“ lässt sich nicht anlegen: " + e.what());
  }
  key_ = library::accessKey(database_, options_.newKey, options_.log);
  ReaderLimits searching = kSearchReaders;
  searching.queryTime = options_.searchTime;
  searches_ = std::make_unique<Readers>(database_, searching);
  readers_ = std::make_unique<Readers>(database_, kLookupReaders);
  renewTitleOrder();
  pictures_ = std::make_unique<PictureCache>(database_.string() + ".pictures", options_.workerProgram,
                                             options_.standInPicture, options_.log);
  streams_ = std::make_unique<stream::Streams>(stream::StreamOptions{database_.string() + ".streams",
                                                                     options_.streamCacheBytes, options_.converter,
                                                                     options_.workerProgram, options_.log});
  if (options_.scan) {
    thread_ = std::thread([this] { scanLoop(); });
  } else {
    firstScanDone_ = true;
  }
}

std::optional<std::string> Library::runningAddress(const std::filesystem::path &folder,
                                                   const std::filesystem::path &database) {
  return CatalogueLock::runningAddress(database.empty() ? defaultDatabase(checkedFolder(folder)) : database);
}

Library::~Library() {
  {
    std::lock_guard lock(stateMutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Library::scanLoop() {
  for (bool first = true; !stopping_; first = false) {
    try {
      scanOnce(first);
    } catch (const std::exception &e) {
      options_.log(std::string("Der Ordner ließ sich nicht durchsehen: ") + e.what());
    }
    std::unique_lock lock(stateMutex_);
    firstScanDone_ = true;
    wake_.notify_all();
    wake_.wait_for(lock, options_.rescanEvery, [this] { return stopping_.load(); });
  }
}

ScanCounts Library::scanOnce(bool first) {
  std::lock_guard lock(scanMutex_);
  const ScanCounts counts = scanner_.scan(stopping_);
  if (counts.read > 0 || counts.dropped > 0) renewTitleOrder();
  if (first || counts.read > 0 || counts.dropped > 0 || counts.unreadable > 0) {
    std::string line = counted(counts.known, "Video", "Videos") + " im Katalog";
    if (counts.withoutDetails > 0) line += ", davon " + std::to_string(counts.withoutDetails) + " nur mit ihrem Namen";
    line += "; " + counted(counts.unreadable, "Datei", "Dateien") + " nicht lesbar.";
    options_.log(line);
  }
  return counts;
}

ScanCounts Library::rescan() {
  return scanOnce(false);
}

void Library::waitForFirstScan() {
  std::unique_lock lock(stateMutex_);
  wake_.wait(lock, [this] { return firstScanDone_; });
}

std::optional<Row> Library::row(std::string_view id) const {
  if (id.size() != 11) return std::nullopt;
  return readers_->with([&](Store &store) { return store.find(id); });
}

std::size_t Library::count() const {
  return readers_->with([](Store &store) { return store.count(); });
}

std::vector<Video> Library::featured(std::size_t count) const {
  std::vector<Video> videos;
  for (const Row &row : readers_->with([&](Store &store) { return store.newest(count); }))
    videos.push_back(videoOf(row));
  return videos;
}

std::optional<Video> Library::find(std::string_view id) const {
  const auto found = row(id);
  return found ? std::optional<Video>(videoOf(*found)) : std::nullopt;
}

void Library::renewTitleOrder() {
  auto order = readers_->with([](Store &store) { return TitleOrder::of(store); });
  std::lock_guard lock(orderMutex_);
  titleOrder_ = std::move(order);
}

std::shared_ptr<const TitleOrder> Library::titleOrder() const {
  std::lock_guard lock(orderMutex_);
  return titleOrder_;
}

// Ranked by the index's row numbers alone; only the rows of the page asked for are read whole.
SearchPage Library::page(const std::function<Ranked(Store &, const TitleOrder &)> &rank) const {
  const auto order = titleOrder();
  return searches_->with([&](Store &store) {
    const auto [total, rowids] = rank(store, *order);
    SearchPage page{total, {}};
    for (const Row &row : store.rows(rowids)) page.videos.push_back(videoOf(row));
    return page;
  });
}

SearchPage Library::search(const std::vector<std::string> &foldedWords, std::size_t first, std::size_t count) const {
  const std::string expression = matchExpression(foldedWords);
  if (expression.empty()) return {};
  return page([&](Store &store, const TitleOrder &order) {
    const auto all = store.matching(expression);
    const auto inTitle = store.matching("title : (" + expression + ")");
    return Ranked{all.size(), rankedPage(all, inTitle, order, first, count)};
  });
}

SearchPage Library::every(std::size_t first, std::size_t count) const {
  return page([&](Store &store, const TitleOrder &order) {
    const auto all = store.all();
    return Ranked{all.size(), folderPage(all, order, first, count)};
  });
}

std::string Library::folderName() const {
  return pageText(root_.filename().string(), kMaxTitleCharacters, false);
}

std::shared_ptr<const OpenFile> Library::open(const Row &row) const {
  auto file = OpenFile::open(root_ / row.path);
  // The path was inside the folder when it was listed; a link put in its place since may not lead out.
  if (!file || !insideRoot(root_, file->realPath())) return nullptr;
  return file;
}

std::optional<VideoFile> Library::file(const Video &video) const {
  const auto found = row(video.id);
  auto file = found ? open(*found) : nullptr;
  if (!file) return std::nullopt;
  // Made from the file as it is now, so that a range of an older version is never sent as this one's.
  char tag[64];
  std::snprintf(tag, sizeof tag, "\"%s-%llx-%llx\"", found->id.c_str(), static_cast<unsigned long long>(file->size()),
                static_cast<unsigned long long>(file->mtime()));
  return VideoFile{contentTypeOf(found->path), tag, httpDate(file->mtime()), {}, std::move(file)};
}

std::optional<std::string> Library::picture(const Video &video) const {
  const auto found = row(video.id);
  const auto file = found ? open(*found) : nullptr;
  // The worker reads the file this site holds open, not whatever the name leads to by then.
  return file ? std::optional<std::string>(pictures_->picture(*found, file->procPath())) : std::nullopt;
}

std::optional<stream::Source> Library::streamSource(const Video &video) const {
  const auto found = row(video.id);
  auto file = found ? open(*found) : nullptr;
  if (!file || video.playback != Playback::Stream) return std::nullopt;
  // Keyed by the file as it is now: a file changed since the scan gets segments of its own.
  const stream::Version version{found->id, static_cast<std::int64_t>(file->size()), file->mtime()};
  const bool listed = version.size == found->size && version.mtime == found->mtime;
  return stream::Source{version, listed ? found->seconds * 1'000'000 : 0, found->playWay, found->path, std::move(file)};
}

void Library::prepareStream(const Video &video) const {
  if (const auto source = streamSource(video)) streams_->prepare(*source);
}

StreamOutline Library::streamOutline(const Video &video) const {
  const auto source = streamSource(video);
  return source ? streams_->outline(*source) : StreamOutline{{}, "Die Videodatei fehlt."};
}

std::shared_ptr<const OpenFile> Library::streamSegment(const Video &video, std::size_t index) const {
  const auto source = streamSource(video);
  return source ? streams_->segment(*source, index) : nullptr;
}

}  // namespace kf::site::library
