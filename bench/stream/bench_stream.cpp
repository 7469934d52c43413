// What playing a file the video window cannot play as it is costs, each figure beside direct play
// measured in the same run: a converted 1080p H.265 clip from the watch to a moving picture, a jump
// to three quarters of a 10-minute one, the conversion's speed on two cores, the site's memory, its
// pages while two conversions run, and the cache against its cap. The video window is the real one
// (Qt WebEngine, offscreen); the site runs in a process of its own, as the launcher starts it. The
// clips are made here with the ffmpeg program (testsrc2 and a tone).
#include <httplib.h>
#include <unistd.h>

#include <QJsonObject>
#include <QWebEngineView>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/site_process.h"
#include "net/site_address.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/qt_toolkit.h"
#include "site/library/video_id.h"
#include "site/stream/plan.h"
#include "support/local_site.h"
#include "support/player_report.h"
#include "support/temp_dir.h"
#include "windows/build_watch_page.h"

namespace kf::bench {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kCacheMegabytes = 64;
constexpr int kLongRepeats = 60;  // of the 10-second clip: 10 minutes
constexpr int kLimit = 120000;

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void run(const std::string &command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

void say(const char *what) {
  std::printf("%s\n", what);
  std::fflush(stdout);
}

// `name` made of `repeats` copies of `clip` one after the other, without converting.
void repeat(const fs::path &folder, const std::string &clip, int repeats, const std::string &name) {
  std::ofstream list(folder / "liste.txt");
  for (int i = 0; i < repeats; ++i) list << "file '" << (folder / clip).string() << "'\n";
  list.close();
  run("ffmpeg -nostdin -loglevel error -y -f concat -safe 0 -i '" + (folder / "liste.txt").string() + "' -c copy '" +
      (folder / name).string() + "'");
  fs::remove(folder / "liste.txt");
}

void makeClips(const fs::path &lib) {
  say("making the clips: 10 s of 1080p30 as H.265 and as H.264, 10 minutes of each, 2 minutes more ...");
  fs::create_directories(lib);
  run("ffmpeg -nostdin -loglevel error -y -t 10 -f lavfi -i testsrc2=size=1920x1080:rate=30 -t 10 -f lavfi -i "
      "sine=frequency=440:sample_rate=48000 -pix_fmt yuv420p -c:a aac "
      "-c:v libx265 -preset ultrafast -x265-params keyint=30:log-level=error '" +
      (lib / "Handy-h265.mp4").string() + "' -pix_fmt yuv420p -c:v libx264 -preset veryfast -g 30 -c:a aac '" +
      (lib / "Handy-h264.mp4").string() + "'");
  repeat(lib, "Handy-h265.mp4", kLongRepeats, "Lang-h265.mp4");
  repeat(lib, "Handy-h264.mp4", kLongRepeats, "Lang-h264.mp4");
  repeat(lib, "Handy-h265.mp4", 12, "Zweites-h265.mp4");
  repeat(lib, "Handy-h265.mp4", 12, "Drittes-h265.mp4");
  run("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10 -t 2 -c:v libvpx '" +
      (lib / "Aufwaermen.webm").string() + "'");
}

std::string id(const std::string &file) {
  return site::library::videoId(file);
}

// The resident memory of the process and of every process it started, in MB.
double residentMB(pid_t pid, bool withChildren) {
  double total = 0;
  for (const auto &entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string all;
    std::getline(stat, all);
    const auto close = all.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int parent = 0;
    std::sscanf(all.c_str() + close + 1, " %c %d", &state, &parent);
    if (std::stoi(name) != pid && !(withChildren && parent == pid)) continue;
    std::ifstream status(entry.path() / "status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("VmRSS:")) total += std::atof(line.c_str() + 6) / 1024;
    }
  }
  return total;
}

// Where the site answers: its port, and "/KEY", which begins every address of it.
struct Site {
  int port = 0;
  std::string root;
};

// Asks for the segments from `first` on, one after the other as a player does, until `until`; answers
// the seconds of video got and the bytes.
std::pair<double, std::size_t> fetchSegments(const Site &site, const std::string &video, int first, int count,
                                             const std::atomic<bool> *until = nullptr) {
  httplib::Client client("127.0.0.1", site.port);
  client.set_read_timeout(120, 0);
  std::size_t bytes = 0;
  int got = 0;
  for (int i = first; i < first + count && !(until && *until); ++i) {
    const auto answer = client.Get(site.root + "/stream/" + video + "/" + std::to_string(i) + ".ts");
    if (!answer || answer->status != 200) {
      std::fprintf(stderr, "segment %d of %s: %d\n", i, video.c_str(), answer ? answer->status : 0);
      std::exit(1);
    }
    bytes += answer->body.size();
    ++got;
  }
  return {got * static_cast<double>(site::stream::kConvertedSegment) / 1e6, bytes};
}

double cacheMB(const fs::path &folder) {
  std::uintmax_t bytes = 0;
  for (const auto &entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().extension() == ".ts") bytes += entry.file_size();
  }
  return static_cast<double>(bytes) / (1 << 20);
}

class Window {
 public:
  Window(const std::string &appDir, const Site &site)
      : site_(test::localSiteAddress(site.port, site.root.substr(1))),
        watch_(ui::toolkit(), appDir, site_, settings_) {}

  // From the watch (a double click) to a moving picture, in seconds.
  double watch(const std::string &file) {
    const auto start = Clock::now();
    watch_(id(file), file);
    const QJsonObject report = test::awaitPlayer(view(), kLimit);
    if (!report.value("ok").toBool()) {
      std::fprintf(stderr, "%s did not play\n", file.c_str());
      std::exit(1);
    }
    return seconds(Clock::now() - start);
  }

  // A jump to three quarters of what plays: from the jump to the picture playing there, in seconds.
  double jump() {
    const QJsonValue took = test::askPlayer(view(),
                                            QStringLiteral("var target = v.duration * 0.75, start = performance.now();"
                                                           "v.addEventListener('timeupdate', function moved() {"
                                                           "  if (v.seeking || v.currentTime < target + 0.05) return;"
                                                           "  v.removeEventListener('timeupdate', moved);"
                                                           "  done((performance.now() - start) / 1000);"
                                                           "});"
                                                           "v.currentTime = target;"),
                                            kLimit);
    if (!took.isDouble()) {
      std::fprintf(stderr, "the jump did not play\n");
      std::exit(1);
    }
    return took.toDouble();
  }

 private:
  QWebEngineView &view() { return *qobject_cast<QWebEngineView *>(qtui::widgetOf(watch_.frmVid()->brw)); }

  net::SiteAddress site_;
  store::Settings settings_;
  windows::BuildWatchPage watch_;
};

}  // namespace
}  // namespace kf::bench

int main(int argc, char **argv) {
  using namespace kf::bench;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
  const kf::test::TempDir dir;
  const fs::path lib = dir.file("lib"), app = dir.file("app");
  makeClips(lib);
  fs::create_directories(app / "dat");
  fs::copy_file(KF_DELIVERED_VID_KF, app / "vid.kf");

  const Process site =
      spawnSite(KF_SITE_PROGRAM, {"--library", lib.string(), "--database", dir.file("cache/lib.sqlite"), "--port", "0",
                                  "--stream-cache", std::to_string(kCacheMegabytes)});
  const std::string started = waitForLine(site, "Videos im Katalog");
  // "http://www.localhost:PORT/KEY/ (Ordner ...": every address of the site carries the key.
  const std::size_t portAt = started.find("localhost:") + 10, keyAt = started.find('/', portAt);
  const Site at{std::atoi(started.c_str() + portAt), started.substr(keyAt, started.find('/', keyAt + 1) - keyAt)};

  // The video window: first the engine's start, then direct play and the converted clip.
  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  kf::test::watchPlayers();
  double direct = 0, converted = 0, jump = 0, directJump = 0;
  {
    Window window(app.string(), at);
    window.watch("Aufwaermen.webm");
    direct = window.watch("Handy-h264.mp4");
    converted = window.watch("Handy-h265.mp4");
    window.watch("Lang-h264.mp4");
    directJump = window.jump();
    window.watch("Lang-h265.mp4");
    jump = window.jump();
  }
  figure("watch to moving picture, converted 1080p H.265 clip", converted, "s",
         text("direct play of the same clip as H.264 %.2f s", direct), "<= 2.0");
  figure("jump to 75 %, 10-minute converted 1080p H.265 file", jump, "s",
         text("direct play of the same as H.264 %.2f s", directJump), "<= 2.0");

  // A run ends once nothing was asked of it for a while: each measure below begins without any.
  const auto runsEnded = [&] {
    for (int wait = 0; wait < 300 && residentMB(site.pid, true) > residentMB(site.pid, false); ++wait) {
      std::this_thread::sleep_for(100ms);
    }
  };
  runsEnded();
  // The memory of the site with what it started: one conversion, then two.
  std::atomic<int> phase{0};
  double peak[2] = {0, 0};
  std::thread sampler([&] {
    for (int now = 0; (now = phase) < 2; std::this_thread::sleep_for(100ms)) {
      peak[now] = std::max(peak[now], residentMB(site.pid, true));
    }
  });

  // The conversion's speed: the segments of a clip nobody watched yet, asked for one after the other.
  const auto speedStart = Clock::now();
  const auto [speedSeconds, speedBytes] = fetchSegments(at, id("Zweites-h265.mp4"), 0, 40);
  const double speed = speedSeconds / seconds(Clock::now() - speedStart);
  figure("conversion, 1080p30 H.265 to 1080p H.264, 2 cores", speed, "x",
         text("real time 1.0; %.1f Mbit/s", static_cast<double>(speedBytes) * 8 / speedSeconds / 1e6), ">= 1.5");

  // Pages while two videos are converted, against the same pages before.
  httplib::Client pages("127.0.0.1", at.port);
  const auto pageTimes = [&] {
    std::vector<double> times;
    for (int n = 0; n < 20; ++n) {
      for (const char *target : {"/", "/results?search_query=handy&search=Search"}) {
        const auto start = Clock::now();
        const auto answer = pages.Get(at.root + target);
        if (!answer || answer->status != 200) std::exit(1);
        times.push_back(seconds(Clock::now() - start) * 1000);
      }
      std::this_thread::sleep_for(100ms);
    }
    std::ranges::sort(times);
    return times;
  };
  const auto before = pageTimes();
  runsEnded();
  phase = 1;
  std::atomic<bool> enough{false};
  std::pair<double, std::size_t> first{}, second{};
  std::thread one([&] { first = fetchSegments(at, id("Lang-h265.mp4"), 300, 80, &enough); });
  std::thread two([&] { second = fetchSegments(at, id("Drittes-h265.mp4"), 20, 80, &enough); });
  std::this_thread::sleep_for(1s);
  const auto during = pageTimes();
  enough = true;
  one.join();
  two.join();
  phase = 2;
  sampler.join();
  figure("pages while two videos are converted, worst", during.back(), "ms",
         text("median %.1f ms; before %.1f ms worst", during[during.size() / 2], before.back()), "<= 1000");
  figure("memory of the site converting one video, with the conversion", peak[0], "MB",
         text("the site alone %.0f MB at most; converting two %.0f MB", peakMB(site.pid), peak[1]), "<= 300");
  const double convertedTotal = static_cast<double>(speedBytes + first.second + second.second) / (1 << 20);
  // Once the site has ended, with it the work of its last runs.
  stop(site);
  figure("segment cache after the runs", cacheMB(dir.file("cache/lib.sqlite.streams")), "MB",
         text("cap %d MB, %.0f MB converted", kCacheMegabytes, convertedTotal), "<= 64");
  return 0;
}
