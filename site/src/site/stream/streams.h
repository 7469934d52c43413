#pragma once
// The streams the site makes of files the video window cannot play as they are. A stream is cut
// into segments of a few seconds; each is made when it is first asked for, by a run of the ffmpeg
// program that then goes on a few segments ahead of the last request and no further, and kept in
// the cache. A jump starts a new run where it lands, so nothing before it is converted. Each video
// has at most one run; a run nobody asks anything of ends, and so does one that stops making
// progress while asked.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "site/catalogue/open_file.h"
#include "site/catalogue/video_catalogue.h"
#include "site/stream/plan.h"
#include "site/stream/segment_cache.h"

namespace kf::site::stream {

struct StreamOptions {
  std::filesystem::path folder;  // the cache's folder
  std::uint64_t cap = 4ULL << 30;
  std::string converter = "ffmpeg";
  std::filesystem::path workerProgram;  // klipfang-site, which reads the key frames
  std::function<void(const std::string &)> log = [](const std::string &) {};
  // A run nobody asked anything of for this long ends: while a video plays, its player asks every
  // second or so.
  std::chrono::milliseconds idle{10000};
  std::chrono::milliseconds stall{30000};  // a run that makes nothing asked for this long is ended
};

// The file of one video, held open, and how it is to be played.
struct Source {
  Version version;
  long long duration = 0;  // microseconds, as the catalogue knows it for this version; 0: unknown
  std::string way;         // sound, container or picture (worker/play_way.h)
  std::string name;        // for the log
  std::shared_ptr<const OpenFile> file;
};

class Streams {
 public:
  explicit Streams(StreamOptions options);
  ~Streams();
  Streams(const Streams &) = delete;
  Streams &operator=(const Streams &) = delete;

  // The player's page is on its way: the first segment is begun, where that needs no reading of the
  // file first, so that it is ready sooner when the player asks for it.
  void prepare(const Source &source);
  StreamOutline outline(const Source &source);
  // Waits until the segment is made; empty when it cannot be.
  std::shared_ptr<const OpenFile> segment(const Source &source, std::size_t index);
  // The file of this version has changed or gone.
  void forget(const Version &version);

  std::uint64_t cachedBytes() const { return cache_.bytes(); }
  // How many runs of the converter are under way, paused ones included.
  std::size_t runningConversions() const;

 private:
  struct Run;
  // The plan kept, or one made without reading the file; empty when the file must be read.
  std::shared_ptr<const Plan> quickPlan(const Source &source);
  std::shared_ptr<const Plan> planOf(const Source &source);
  std::shared_ptr<const Plan> keepPlan(const Source &source, Plan plan);
  std::shared_ptr<const Plan> remember(const Source &source, std::shared_ptr<const Plan> plan);
  std::shared_ptr<Run> runFor(const Source &source, const std::shared_ptr<const Plan> &plan, std::size_t index);
  std::shared_ptr<Run> startRun(const Source &source, const std::shared_ptr<const Plan> &plan, std::size_t index);
  void noteAsked(Run &run, std::size_t index);
  void stopRun(Run &run);
  void watch();
  void look(Run &run);

  StreamOptions options_;
  SegmentCache cache_;

  std::mutex planMutex_;  // one reading of key frames at a time

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, std::shared_ptr<Run>> runs_;  // by video id; a waiting request holds its run too
  std::map<Version, std::shared_ptr<const Plan>> plans_;
  bool toldMissing_ = false;
  bool stopping_ = false;
  std::thread watcher_;
};

}  // namespace kf::site::stream
