// The user's two files, settings and favourites, through the worst a save can meet: the process
// killed at any moment while it writes them, and a disk that takes no more bytes when the program
// closes. Each file is always one whole version, never cut short and never missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "store/favourites_file.h"
#include "store/settings_file.h"
#include "support/file_size_limit.h"
#include "support/local_site.h"
#include "support/program_folder.h"
#include "windows/video_rows.h"

namespace kf {
namespace {

using test::readFile;

// A favourites list long enough that writing it takes a while, so kills land inside its save.
void fillFavourites(video::VideoList &list, int rows, const std::string &tag) {
  for (int row = 1; row <= rows; ++row) {
    const std::string number = std::to_string(row);
    list.append({"Titel " + tag + " " + number, "id" + tag + number, "http://p/" + number + ".jpg",
                 "Film " + tag + " " + number + std::string(60, 'f'), "1:" + number});
  }
}

// The files one save of these values writes, as the save itself makes them.
struct Version {
  Version(const store::Settings &values, int rows, const std::string &tag) : settings(values) {
    fillFavourites(favourites, rows, tag);
    const test::TempDir dir;
    std::filesystem::create_directory(dir.file("dat"));
    save(dir.path());
    settingsFile = readFile(dir.file("sets.cfg"));
    favouritesFile = readFile(dir.file("dat/fav.kf"));
  }
  void save(const std::string &appDir) const {
    store::SaveSettings(settings, appDir);
    store::SaveFavourites(favourites, appDir);
  }

  store::Settings settings;
  video::VideoList favourites;
  std::string settingsFile;
  std::string favouritesFile;
};

// Removes the temporary files a killed save left in `folder` and answers how many there were.
// Anything else there but `keep` fails the test.
int sweepTemporaryFiles(const std::string &folder, const std::string &keep) {
  int left = 0;
  for (const auto &entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name == keep || name == "dat") continue;
    EXPECT_TRUE(name.starts_with(keep + ".")) << "stray file " << name;
    std::filesystem::remove(entry.path());
    ++left;
  }
  return left;
}

TEST(DataSafety, KilledWhileSavingEachFileIsTheOldOrTheNewVersion) {
  const Version older({3, true, false, true}, 600, "alt");
  const Version newer({17, false, true, false}, 900, "neu");
  ASSERT_NE(older.settingsFile, newer.settingsFile);
  const test::TempDir dir;
  std::filesystem::create_directory(dir.file("dat"));
  older.save(dir.path());

  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> delayMicroseconds(0, 6000);
  // At least kKills kills, and more, up to kMostKills, until kEnoughInside of them met saves half
  // done: how many do depends on the machine's speed (a sanitizer's build saves slower).
  constexpr int kKills = 200;
  constexpr int kMostKills = 1000;
  constexpr int kEnoughInside = 20;
  int killedInsideASave = 0;
  for (int kill = 0; kill < kMostKills && (kill < kKills || killedInsideASave < kEnoughInside); ++kill) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Saves the two versions in turn until killed; gives up on its own should the test be gone.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      [[maybe_unused]] const ssize_t told = ::write(started[1], "s", 1);
      for (int i = 0; std::chrono::steady_clock::now() < deadline; ++i) (i % 2 ? older : newer).save(dir.path());
      ::_exit(0);
    }
    // The delay counts from the first save, however long the child took to get going.
    char byte;
    ASSERT_EQ(::read(started[0], &byte, 1), 1);
    ::close(started[0]);
    ::close(started[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    SCOPED_TRACE("kill " + std::to_string(kill));
    ASSERT_TRUE(std::filesystem::exists(dir.file("sets.cfg")));
    ASSERT_TRUE(std::filesystem::exists(dir.file("dat/fav.kf")));
    const std::string settings = readFile(dir.file("sets.cfg"));
    const std::string favourites = readFile(dir.file("dat/fav.kf"));
    ASSERT_TRUE(settings == older.settingsFile || settings == newer.settingsFile) << settings;
    ASSERT_TRUE(favourites == older.favouritesFile || favourites == newer.favouritesFile)
        << favourites.size() << " bytes";
    const int left = sweepTemporaryFiles(dir.path(), "sets.cfg") + sweepTemporaryFiles(dir.file("dat"), "fav.kf");
    if (left > 0) ++killedInsideASave;
  }
  // The kills must have met saves half done, or the test proved nothing.
  EXPECT_GE(killedInsideASave, kEnoughInside);
}

TEST(DataSafety, AFullDiskAtCloseKeepsTheOldFilesSaysSoAndStillEnds) {
  // Bytes the disk still takes: none, or enough for the settings but not for the favourites.
  for (const rlim_t room : {rlim_t{0}, rlim_t{200}}) {
    SCOPED_TRACE(room);
    ui::HeadlessToolkit tk;
    ui::setToolkit(tk);
    const test::ProgramFolder folder;
    const auto frm = folder.start(tk, test::localSiteAddress(1));
    frm->settings.respages = 9;
    fillFavourites(frm->favourites, 20, "neu");
    const std::string newSettings = "respages:9\r\ncleartxt:1\r\npreview:1\r\ninfront:0\r\n";
    ASSERT_LE(newSettings.size(), room == 0 ? newSettings.size() : room);

    bool ended = false;
    {
      const test::FileSizeLimit full(room);
      ended = test::closeMainWindow(*frm);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(readFile(folder.file("sets.cfg")), room == 0 ? test::kDeliveredSettings : newSettings);
    EXPECT_EQ(readFile(folder.file("dat/fav.kf")), test::kDeliveredFavourites);
    EXPECT_EQ(folder.tree(), (std::set<std::string>{"app/", "app/dat/", "app/dat/fav.kf", "app/dat/klipfang.lock",
                                                    "app/sets.cfg", "app/vid.kf"}))
        << "a failed save leaves no temporary file";
    // Each file that could not be saved is told, with its name, before the program ends.
    std::vector<std::string> told;
    for (const auto &message : tk.boxes.shown()) told.push_back(message.text.substr(0, message.text.find("\n\n")));
    const std::string favourites = "Die Favoriten konnten nicht gespeichert werden.";
    const std::vector<std::string> expected =
        room == 0 ? std::vector<std::string>{"Die Einstellungen konnten nicht gespeichert werden.", favourites}
                  : std::vector<std::string>{favourites};
    EXPECT_EQ(told, expected);
    EXPECT_NE(tk.boxes.shown().back().text.find(folder.file("dat/fav.kf")), std::string::npos);
  }
}

}  // namespace
}  // namespace kf
