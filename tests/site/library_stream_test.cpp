// What the site plays of the files the video window cannot play as they are: its choice for each
// kind of file, the stream cut into segments made when asked for, a failed conversion and the cap.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

#include "site/stream/streams.h"
#include "site/worker/worker.h"
#include "support/http_probe.h"
#include "support/library_folder.h"

namespace kf::site::test {
namespace {

namespace fs = std::filesystem;

// Runs ffmpeg over a second of test picture and tone, into every output of `outputs`.
void makeClips(const std::string &outputs, int seconds) {
  const std::string length = std::to_string(seconds);
  const std::string command = "ffmpeg -nostdin -loglevel error -y -t " + length +
                              " -f lavfi -i testsrc=size=160x120:rate=10 -t " + length +
                              " -f lavfi -i sine=sample_rate=48000 " + outputs;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(PlayWay, TheSiteChoosesForEachKindOfFileHowTheVideoWindowPlaysIt) {
  const kf::test::TempDir dir;
  const std::vector<std::tuple<std::string, std::string, std::string>> kinds = {
      {"h264-aac.mp4", "-c:v libx264 -pix_fmt yuv420p -c:a aac", "as-is"},
      {"vp8-vorbis.webm", "-c:v libvpx -c:a libvorbis", "as-is"},
      {"h264-ac3.mkv", "-c:v libx264 -pix_fmt yuv420p -c:a ac3", "sound"},
      {"h264-pcm.mov", "-c:v libx264 -pix_fmt yuv420p -c:a pcm_s16le", "sound"},
      {"h264-aac.ts", "-c:v libx264 -pix_fmt yuv420p -c:a aac", "container"},
      {"h264.avi", "-c:v libx264 -pix_fmt yuv420p -an", "container"},
      {"h265-aac.mp4", "-c:v libx265 -preset ultrafast -x265-params log-level=error -c:a aac", "picture"},
      {"h264-10bit.mp4", "-c:v libx264 -pix_fmt yuv420p10le -c:a aac", "picture"},
      {"mpeg2.mpg", "-c:v mpeg2video -c:a mp2", "picture"},
      {"mpeg4-mp3.avi", "-c:v mpeg4 -c:a libmp3lame", "picture"},
      {"theora.ogv", "-c:v libtheora -c:a libvorbis", "picture"},
      {"mjpeg-pcm.mov", "-c:v mjpeg -c:a pcm_s16le", "picture"},
      {"nur-ton.mp4", "-vn -c:a aac", "cannot"},
  };
  std::string outputs;
  for (const auto &[name, codecs, way] : kinds) outputs += codecs + " '" + dir.file(name) + "' ";
  makeClips(outputs, 1);
  worker::Worker worker(KF_SITE_PROGRAM);
  for (const auto &[name, codecs, way] : kinds) {
    const auto answer = worker.ask({"probe", dir.file(name), "4000"}, std::chrono::seconds(10));
    ASSERT_TRUE(answer && answer->size() == 7) << name;
    EXPECT_EQ(answer->at(5), way) << name;
    EXPECT_EQ(answer->at(6), way == "cannot" ? "Die Datei enthält kein Bild." : "") << name;
  }
}

// A phone's clip (H.265, converted) and a camera's (H.264 in MPEG-TS, a key frame a second,
// copied), six seconds each: three segments.
const std::string &streamFolder() {
  static kf::test::TempDir made;
  static const std::string folder = [] {
    fs::create_directories(made.file("lib"));
    makeClips("-c:v libx265 -preset ultrafast -x265-params log-level=error -c:a aac '" + made.file("lib/Handy.mp4") +
                  "' -c:v libx264 -pix_fmt yuv420p -g 10 -c:a aac '" + made.file("lib/Kamera.ts") + "'",
              6);
    return made.file("lib");
  }();
  return folder;
}

class StreamTest : public ::testing::Test {
 protected:
  void serve(const std::function<void(library::LibraryOptions &)> &change = [](library::LibraryOptions &) {}) {
    server_.reset();
    library_.reset();
    auto options = optionsFor(streamFolder(), dir_.file("cache/lib.sqlite"), [this](const std::string &line) {
      std::lock_guard lock(mutex_);
      log_.push_back(line);
    });
    change(options);
    library_ = std::make_shared<library::Library>(options);
    library_->waitForFirstScan();
    server_ = std::make_unique<Server>(library_);
    port_ = server_->start();
  }
  Answer get(const std::string &target) { return fetch(port_, "GET", root() + target, host()); }
  std::string root() const { return "/" + library_->accessKey(); }
  std::string host() const { return "localhost:" + std::to_string(port_); }
  std::string id(const std::string &word) { return library_->search({word}, 0, 1).videos.at(0).id; }
  // The segments made so far of the video.
  std::set<std::string> made(const std::string &videoId) {
    std::set<std::string> names;
    for (const auto &version : fs::directory_iterator(dir_.file("cache/lib.sqlite.streams"))) {
      if (!version.path().filename().string().starts_with(videoId)) continue;
      for (const auto &file : fs::directory_iterator(version.path())) {
        if (file.path().extension() == ".ts") names.insert(file.path().filename().string());
      }
    }
    return names;
  }
  // When the segment's first picture is shown, in the file's time.
  double startOf(const std::string &segment) {
    kf::test::writeFile(dir_.file("segment.ts"), segment);
    const std::string command = "ffprobe -v error -select_streams v -show_entries stream=start_time -of csv=p=0 '" +
                                dir_.file("segment.ts") + "'";
    FILE *out = ::popen(command.c_str(), "r");
    double start = -1;
    if (out && std::fscanf(out, "%lf", &start) != 1) start = -1;
    if (out) ::pclose(out);
    return start - 1.4;  // MPEG-TS puts every time 1.4 s later
  }
  std::vector<std::string> log() {
    std::lock_guard lock(mutex_);
    return log_;
  }

  kf::test::TempDir dir_;
  // Before the library: its stream watcher logs here until the library has ended it.
  std::mutex mutex_;
  std::vector<std::string> log_;
  std::shared_ptr<library::Library> library_;
  std::unique_ptr<Server> server_;
  int port_ = 0;
};

TEST_F(StreamTest, AJumpToTheMiddleMakesItsSegmentWithoutTheOnesBefore) {
  serve();
  // Converted: cut every second. Copied: cut at key frames at least two seconds apart.
  for (const auto &[word, length] : {std::pair{"handy", 1.0}, std::pair{"kamera", 2.0}}) {
    const std::string video = id(word);
    const std::string playlist = get("/stream/" + video + "/index.m3u8").body;
    const std::string address = "http://" + host() + root() + "/stream/" + video + "/";
    const auto count = static_cast<std::size_t>(6 / length);
    for (std::size_t i = 1; i + 1 < count; ++i) {
      const std::string entry = "#EXTINF:" + std::to_string(length) + ",\n" + address + std::to_string(i) + ".ts\n";
      EXPECT_NE(playlist.find(entry), std::string::npos) << playlist;
    }
    EXPECT_TRUE(playlist.ends_with(std::to_string(count - 1) + ".ts\n#EXT-X-ENDLIST\n")) << playlist;

    const std::size_t middle = count / 2;
    Answer segment = get("/stream/" + video + "/" + std::to_string(middle) + ".ts");
    ASSERT_EQ(segment.status, 200) << word;
    EXPECT_EQ(segment.headers["content-type"], "video/mp2t");
    EXPECT_NEAR(startOf(segment.body), static_cast<double>(middle) * length, 0.05) << word;
    for (std::size_t before = 0; before < middle; ++before) {
      EXPECT_FALSE(made(video).contains(std::to_string(before) + ".ts")) << word;
    }
    EXPECT_EQ(get("/stream/" + video + "/" + std::to_string(middle) + ".ts").body, segment.body) << "kept";
    const Answer bare = fetch(port_, "GET", "/stream/" + video + "/" + std::to_string(middle) + ".ts", host());
    EXPECT_EQ(bare.status, 404) << "a segment made is still not served without the key";
    EXPECT_EQ(get("/stream/" + video + "/" + std::to_string(count) + ".ts").status, 503) << "past the end";
  }
  EXPECT_EQ(get("/stream/AAAAAAAAAAA/0.ts").status, 404);
}

TEST_F(StreamTest, AFailedConversionIsToldInGermanAndTheCacheKeepsToItsCap) {
  const std::string converter = dir_.file("ffmpeg-kaputt");
  kf::test::writeFile(converter, "#!/bin/sh\necho 'Ungültige Daten gefunden' >&2\nexit 1\n");
  fs::permissions(converter, fs::perms::owner_all);
  serve([&](library::LibraryOptions &options) { options.converter = converter; });
  EXPECT_EQ(get("/stream/" + id("handy") + "/0.ts").status, 503);
  const auto lines = log();
  EXPECT_NE(std::ranges::find(lines, "Die Umwandlung von „Handy.mp4“ ist gescheitert: Ungültige Daten gefunden"),
            lines.end());

  serve([](library::LibraryOptions &options) { options.streamCacheBytes = 1; });
  const std::string video = id("handy");
  EXPECT_EQ(get("/stream/" + video + "/2.ts").status, 200);
  EXPECT_EQ(get("/stream/" + video + "/0.ts").status, 200);
  EXPECT_EQ(made(video), std::set<std::string>{"0.ts"}) << "the oldest went";
}

TEST(StreamPlan, CutsAtKeyFramesOrConvertsWhenTheyLieTooFarApart) {
  using stream::makePlan;
  const auto starts = [](const stream::Plan &plan) { return plan.starts; };
  // Converted: every second; a last piece shorter than half a second joins the one before.
  const stream::Plan converted = makePlan("picture", 10'300'000, {});
  EXPECT_EQ(converted.count(), 10u);
  EXPECT_EQ(converted.end(9), 10'300'000);
  // Copied: from key frame to key frame, two seconds at least.
  std::vector<long long> keys;
  for (long long at = 20'000; at < 10'000'000; at += 1'000'000) keys.push_back(at);
  EXPECT_EQ(starts(makePlan("container", 10'000'000, keys)),
            (std::vector<long long>{0, 2'020'000, 4'020'000, 6'020'000, 8'020'000}));
  // Key frames 25 seconds apart, or none: a jump would wait for too long a segment.
  for (const auto &sparse : {std::vector<long long>{0, 25'000'000}, std::vector<long long>{}}) {
    const stream::Plan plan = makePlan("sound", 60'000'000, sparse);
    EXPECT_EQ(plan.way, "picture");
    EXPECT_EQ(plan.count(), 60u);
  }
  // Kept and read again; anything else is no plan.
  const stream::Plan copied = makePlan("container", 10'000'000, keys);
  const auto read = stream::readPlan(stream::planText(copied));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->way, "container");
  EXPECT_EQ(read->starts, copied.starts);
  EXPECT_EQ(read->duration, copied.duration);
  for (const std::string bad :
       {"", "klipfang-stream-plan 1\nas-is\n5\n0 \n", "klipfang-stream-plan 1\npicture\n5\n0 3 2 \n",
        "klipfang-stream-plan 1\npicture\n5\n1 2 \n"}) {
    EXPECT_FALSE(stream::readPlan(bad)) << bad;
  }
}

// Runs of a stand-in for the ffmpeg program against the stream room itself.
class StreamRuns : public ::testing::Test {
 protected:
  // A converter that makes one segment every 20 ms from where it is asked to begin, or hangs.
  std::unique_ptr<stream::Streams> streams(const std::string &script) {
    const std::string converter = dir_.file("converter");
    kf::test::writeFile(converter, "#!/bin/sh\n" + script);
    fs::permissions(converter, fs::perms::owner_all);
    stream::StreamOptions options;
    options.folder = dir_.file("segmente");
    options.converter = converter;
    options.log = [this](const std::string &line) {
      std::lock_guard lock(mutex_);
      log_.push_back(line);
    };
    options.stall = std::chrono::milliseconds(300);
    return std::make_unique<stream::Streams>(options);
  }
  stream::Source source() {
    kf::test::writeFile(dir_.file("film.mkv"), "x");
    return {{"AAAAAAAAAAA", 1, 1}, 100'000'000, "picture", "film.mkv", OpenFile::open(dir_.file("film.mkv"))};
  }
  std::set<std::size_t> made() {
    std::set<std::size_t> segments;
    for (const auto &file : fs::recursive_directory_iterator(dir_.file("segmente"))) {
      const std::string name = file.path().filename().string();
      if (file.path().extension() == ".ts" && !file.path().parent_path().filename().string().starts_with("arbeit")) {
        segments.insert(std::stoul(name));
      }
    }
    return segments;
  }

  kf::test::TempDir dir_;
  std::mutex mutex_;
  std::vector<std::string> log_;
};

constexpr const char *kMaker =
    "for a; do [ \"$before\" = -segment_start_number ] && n=$a; before=$a; out=$a; done\n"
    "while :; do f=$(printf \"$out\" \"$n\"); echo x >\"$f\"; echo \"$n.ts,0,0\"; n=$((n + 1)); sleep 0.02; done\n";

TEST_F(StreamRuns, ARunStaysAFewSegmentsAheadAndAJumpMakesNothingBetween) {
  const auto runs = streams(kMaker);
  const stream::Source film = source();
  ASSERT_TRUE(runs->segment(film, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto ahead = made();
  EXPECT_GE(ahead.size(), 4u);
  EXPECT_LE(*ahead.rbegin(), 5u) << "three segments ahead, and what was in hand as it paused";

  ASSERT_TRUE(runs->segment(film, 60));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto jumped = made();
  EXPECT_TRUE(jumped.contains(60));
  EXPECT_EQ(std::ranges::count_if(jumped, [](std::size_t n) { return n > 4 && n < 60; }), 0);
  EXPECT_LE(*jumped.rbegin(), 65u);
  EXPECT_EQ(runs->runningConversions(), 1u) << "one run per video";
}

TEST_F(StreamRuns, ARunThatMakesNothingIsEndedAndTold) {
  const auto runs = streams("exec sleep 60\n");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(runs->segment(source(), 5));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(runs->runningConversions(), 0u);
  std::lock_guard lock(mutex_);
  EXPECT_NE(std::ranges::find(log_, "Die Umwandlung von „film.mkv“ kam nicht voran und wurde beendet."), log_.end());
}

}  // namespace
}  // namespace kf::site::test
