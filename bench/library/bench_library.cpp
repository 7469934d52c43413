// What a library of the user's own videos costs, each figure beside one measured in the same run:
// a search over 100,000 videos (rows put straight into the catalogue) against a search of the
// built-in catalogue; an unchanged rescan of 10,000 files against the bare walk over them; the
// first scan of generated clips against ffprobe; a preview picture of a 60-second 5 Mbit/s clip
// against the ffmpeg program making the same; and the memory of the site serving 100,000 videos
// against the site serving the built-in catalogue. Needs ffmpeg and ffprobe on the path.
#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/site_process.h"
#include "site/catalogue/text.h"
#include "site/http/server.h"
#include "site/library/folder_walk.h"
#include "site/library/library.h"
#include "site/library/store.h"
#include "support/temp_dir.h"

namespace kf::bench {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
namespace lib = kf::site::library;

constexpr std::size_t kRows = 100'000;
constexpr std::size_t kRescanFiles = 10'000;
constexpr std::size_t kClips = 40;
constexpr int kQueries = 300;
constexpr std::int64_t kFileTime = 1'600'000'000LL * 1'000'000'000;

const std::vector<std::string> kWords = {
    "Katze",   "Hund",   "Käse",    "Straße",   "Übung",   "Urlaub",  "Strand", "Berge",       "Musik",    "Konzert",
    "Garten",  "Kuchen", "Backen",  "Fahrrad",  "Zug",     "Berlin",  "Köln",   "Hamburg",     "Ostsee",   "Nordsee",
    "Winter",  "Sommer", "Herbst",  "Frühling", "Schnee",  "Regen",   "Sonne",  "Geburtstag",  "Hochzeit", "Schule",
    "Kinder",  "Oma",    "Opa",     "Familie",  "Ausflug", "Wandern", "Segeln", "Tanzen",      "Gitarre",  "Klavier",
    "Vortrag", "Kurs",   "Lektion", "Teil",     "Folge",   "Film",    "Serie",  "Nachrichten", "Wetter",   "Küche",
    "Rezept",  "Suppe",  "Brot",    "Apfel",    "Birne",   "Zwiebel", "Tomate", "Gurke",       "Möwe",     "Pferd",
    "Vogel",   "Fisch",  "Boot",    "Hafen",    "Insel",   "Wald",    "Fluss",  "Brücke",      "Turm",     "Kirche",
    "Markt",   "Fest",   "Feuer",   "Wasser",   "Luft",    "Erde",    "Stern",  "Mond",        "Nacht",    "Morgen",
    "cat",     "dog",    "cheese",  "street",   "lesson",  "holiday", "beach",  "mountain",    "music",    "concert",
    "garden",  "cake",   "bike",    "train",    "winter",  "summer",  "snow",   "rain",        "sun",      "party"};

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double timed(const std::function<void()> &work) {
  const auto start = Clock::now();
  work();
  return ms(Clock::now() - start);
}

void run(const std::string &command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

std::string sentence(std::mt19937 &random, int words) {
  std::string text;
  for (int i = 0; i < words; ++i) text += (i ? " " : "") + kWords[random() % kWords.size()];
  return text;
}

// Empty files with a fixed time, `perFolder` to a folder, and their rows put straight into the
// catalogue as a scan would have left them.
void makeLibrary(const fs::path &root, const fs::path &database, std::size_t files, std::size_t perFolder) {
  lib::Store::prepare(database, [](const std::string &) {});
  lib::Store store(database);
  lib::Transaction transaction(store.connection());
  std::mt19937 random(7);
  const timespec times[2] = {{kFileTime / 1'000'000'000, 0}, {kFileTime / 1'000'000'000, 0}};
  for (std::size_t i = 0; i < files; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "f%03zu/v%06zu.mp4", i / perFolder, i);
    const fs::path file = root / name;
    if (i % perFolder == 0) fs::create_directories(file.parent_path());
    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ::futimens(fd, times);
    ::close(fd);
    store.put({{},
               name,
               0,
               kFileTime,
               sentence(random, 3 + static_cast<int>(random() % 4)),
               sentence(random, 10 + static_cast<int>(random() % 10)),
               static_cast<std::int64_t>(random() % 3600),
               "as-is",
               {},
               true},
              std::nullopt);
  }
  transaction.commit();
}

lib::LibraryOptions options(const fs::path &folder, const fs::path &database, bool scan) {
  lib::LibraryOptions options;
  options.folder = folder;
  options.database = database;
  options.workerProgram = KF_SITE_PROGRAM;
  options.rescanEvery = 3600s;
  options.scan = scan;
  return options;
}

// Search words of 2 to 5 letters: the starts of the catalogue's words, as a user types them.
std::vector<std::string> queries() {
  std::mt19937 random(11);
  std::vector<std::string> out;
  for (int i = 0; i < kQueries; ++i) {
    const std::string &word = kWords[random() % kWords.size()];
    const std::size_t letters = 2 + random() % 4;
    std::string start;
    for (std::size_t at = 0, count = 0; at < word.size() && count < letters; ++count) {
      std::size_t length = (static_cast<unsigned char>(word[at]) & 0xE0) == 0xC0 ? 2 : 1;
      start += word.substr(at, length);
      at += length;
    }
    out.push_back(start);
  }
  return out;
}

// Anything but a whole page ends the bench, so no figure times an error answer (a library answers
// only under "/KEY", the built-in catalogue under "").
void getPage(httplib::Client &client, const std::string &target) {
  const auto answer = client.Get(target);
  if (!answer || answer->status != 200) {
    std::fprintf(stderr, "%s: %s\n", target.c_str(), answer ? std::to_string(answer->status).c_str() : "no answer");
    std::exit(1);
  }
}

std::vector<double> searchTimes(int port, const std::string &base, const std::vector<std::string> &words) {
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(true);
  std::vector<double> times;
  for (const std::string &word : words) {
    const std::string target = base + "/results?search_query=" + kf::site::percentEncode(word) + "&search=Search";
    times.push_back(timed([&] { getPage(client, target); }));
  }
  std::sort(times.begin(), times.end());
  return times;
}

double medianOf(const std::vector<double> &sorted) {
  return sorted[sorted.size() / 2];
}

// The access key a library site keeps beside its database.
std::string keyOf(const fs::path &database) {
  std::string key;
  std::ifstream(database.string() + ".key") >> key;
  return key;
}

// The site's peak memory after it started, scanned and answered every search.
double siteMemory(const std::vector<std::string> &arguments, const std::string &ready, const std::string &base,
                  const std::vector<std::string> &words, int port) {
  const Process site = spawnSite(KF_SITE_PROGRAM, arguments);
  waitForLine(site, ready);
  searchTimes(port, base, words);
  const double peak = peakMB(site.pid);
  stop(site);
  return peak;
}

}  // namespace
}  // namespace kf::bench

int main() {
  using namespace kf::bench;
  const kf::test::TempDir dir;
  const fs::path big = dir.file("gross"), bigDatabase = dir.file("gross.sqlite");
  std::printf("putting %zu videos into a catalogue ...\n", kRows);
  std::fflush(stdout);
  const double filled = timed([&] { makeLibrary(big, bigDatabase, kRows, 1000); });
  std::printf("done in %.1f s\n", filled / 1000);

  // Search, against the built-in catalogue's answer to the same words.
  const auto words = queries();
  std::vector<double> library, builtIn;
  double watchBesideSearches = 0, hugeSearch = 0;
  {
    auto videos = std::make_shared<lib::Library>(options(big, bigDatabase, false));
    kf::site::Server server(videos);
    const int port = server.start();
    const std::string base = "/" + videos->accessKey();
    library = searchTimes(port, base, words);
    // Four searches of 1,500 words each at once, and a watch page meanwhile.
    std::string huge = "ka";
    for (int i = 0; i < 1500; ++i) huge += " " + kWords[static_cast<std::size_t>(i) % kWords.size()].substr(0, 2);
    std::vector<std::thread> searches;
    std::vector<double> hugeTimes(4);
    searches.reserve(hugeTimes.size());
    for (double &time : hugeTimes) searches.emplace_back([&] { time = searchTimes(port, base, {huge}).front(); });
    std::this_thread::sleep_for(50ms);
    const std::string id = videos->featured(1).at(0).id;
    httplib::Client client("127.0.0.1", port);
    watchBesideSearches = timed([&] { getPage(client, base + "/watch?v=" + id); });
    for (auto &search : searches) search.join();
    hugeSearch = *std::max_element(hugeTimes.begin(), hugeTimes.end());
  }
  {
    kf::site::Server server;
    builtIn = searchTimes(server.start(), "", words);
  }
  figure("library search, 100,000 videos, median", medianOf(library), "ms",
         text("built-in catalogue of 410 videos %.2f ms", medianOf(builtIn)), "<= 20");
  figure("library search, 100,000 videos, worst", library.back(), "ms",
         text("built-in catalogue worst %.2f ms", builtIn.back()), "<= 100");
  figure("watch page beside four searches of 1,500 words", watchBesideSearches, "ms",
         text("each of those searches %.0f ms", hugeSearch), "<= 1000");

  // Memory of the site serving the 100,000 videos, against the site serving the built-in catalogue.
  const int port = 18000 + static_cast<int>(::getpid() % 1000);
  const std::vector<std::string> some(words.begin(), words.begin() + 50);
  const double bigMemory =
      siteMemory({"--port", std::to_string(port), "--library", big.string(), "--database", bigDatabase.string()},
                 "100000 Videos im Katalog", "/" + keyOf(bigDatabase), some, port);
  const double builtInMemory = siteMemory({"--port", std::to_string(port)}, "Ende mit", "", some, port);
  figure("memory of the site, 100,000 videos", bigMemory, "MB", text("built-in catalogue %.1f MB", builtInMemory),
         "<= 100");

  // An unchanged rescan of 10,000 files, against the walk alone.
  const fs::path mid = dir.file("mittel"), midDatabase = dir.file("mittel.sqlite");
  makeLibrary(mid, midDatabase, kRescanFiles, 500);
  double rescan = 0, walk = 0;
  {
    lib::Library videos(options(mid, midDatabase, false));
    videos.rescan();  // the files' pages come into the system's cache
    rescan = timed([&] { videos.rescan(); });
    const std::atomic<bool> never{false};
    walk = timed([&] { lib::walkLibrary(fs::canonical(mid), never); });
  }
  figure("unchanged rescan of 10,000 files", rescan, "ms", text("the walk alone %.0f ms", walk), "<= 1000");

  // The first scan of generated clips, against ffprobe on each.
  std::printf("making %zu clips ...\n", kClips);
  std::fflush(stdout);
  const fs::path clips = dir.file("clips");
  fs::create_directories(clips);
  for (std::size_t i = 0; i < kClips; ++i) {
    const char *codec = i % 2 ? "-c:v libx264 -pix_fmt yuv420p" : "-c:v libvpx -b:v 300k";
    run("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25 -t 2 " + std::string(codec) +
        " -metadata title='Clip " + std::to_string(i) + "' '" + (clips / ("clip" + std::to_string(i))).string() +
        (i % 2 ? ".mp4'" : ".webm'"));
  }
  double firstScan = 0;
  {
    lib::Library videos(options(clips, dir.file("clips.sqlite"), false));
    firstScan = timed([&] { videos.rescan(); }) / kClips;
  }
  const double ffprobe =
      timed(
          [&] { run("for f in '" + clips.string() + "'/*; do ffprobe -v error \"$f\" >/dev/null </dev/null; done"); }) /
      kClips;
  figure("first scan, per file (2 cores)", firstScan, "ms", text("ffprobe %.1f ms a file", ffprobe), "<= 30");

  // A preview picture of a 60-second 5 Mbit/s clip, made on its first request.
  std::printf("making a 60-second 5 Mbit/s clip ...\n");
  std::fflush(stdout);
  const fs::path one = dir.file("eins");
  fs::create_directories(one);
  const std::string clip = (one / "lang.mp4").string();
  run("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=25 -t 60 -c:v libx264 -preset "
      "ultrafast "
      "-b:v 5M -maxrate 5M -bufsize 10M -g 250 -pix_fmt yuv420p '" +
      clip + "'");
  fs::copy_file(clip, one / "warm.mp4");
  double picture = 0;
  {
    lib::Library videos(options(one, dir.file("eins.sqlite"), false));
    videos.rescan();
    const auto found = videos.search({"lang"}, 0, 1).videos.at(0);
    videos.picture(videos.search({"warm"}, 0, 1).videos.at(0));  // the two makers are started
    std::optional<std::string> made;
    picture = timed([&] { made = videos.picture(found); });
    if (!made || !made->starts_with("\xFF\xD8")) {
      std::fprintf(stderr, "no preview picture was made\n");
      return 1;
    }
  }
  const double ffmpeg = timed([&] {
    run("ffmpeg -nostdin -loglevel error -y -ss 6 -i '" + clip + "' -frames:v 1 -vf scale=130:-2 '" +
        dir.file("p.jpg") + "'");
  });
  figure("preview picture, 60 s 5 Mbit/s clip", picture, "ms", text("the ffmpeg program %.0f ms", ffmpeg), "<= 300");
  return 0;
}
