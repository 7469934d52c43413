#include "site/library_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kf::site::test {
namespace {

void ffmpeg(const std::string &arguments, const std::string &output) {
  const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10 -t 1 " +
                              arguments + " '" + output + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("ffmpeg failed: " + command);
}

}  // namespace

const std::string &clipFolder() {
  static kf::test::TempDir made;
  static const std::string folder = [] {
    namespace fs = std::filesystem;
    std::string lib = made.file("lib");
    fs::create_directories(lib + "/Urlaub");
    fs::create_directories(lib + "/.versteckt");
    ffmpeg("-c:v libvpx -b:v 100k -metadata title='Käse aus der Straße' -metadata description='Eine Übung'",
           lib + "/kaese.webm");
    ffmpeg("-c:v libx264 -pix_fmt yuv420p", lib + "/Urlaub/Strand_am.Meer.mp4");
    kf::test::writeFile(lib + "/Urlaub/Strand_am.Meer.txt", "Am Strand von Sylt\nmit Möwen");
    ffmpeg("-c:v mpeg2video", lib + "/Schulfilm.mpg");
    kf::test::writeFile(lib + "/kaputt.mkv", std::string(4000, 'x'));
    fs::copy_file(lib + "/kaese.webm", lib + "/.versteckt/geheim.webm");
    fs::copy_file(lib + "/kaese.webm", made.file("draussen.webm"));
    fs::create_symlink(made.file("draussen.webm"), lib + "/draussen.webm");
    fs::create_symlink("Urlaub/Strand_am.Meer.mp4", lib + "/innen.mp4");
    return lib;
  }();
  return folder;
}

library::LibraryOptions optionsFor(const std::string &folder, const std::string &database,
                                   std::function<void(const std::string &)> log) {
  library::LibraryOptions options;
  options.folder = folder;
  options.database = database;
  options.workerProgram = KF_SITE_PROGRAM;
  options.standInPicture = kf::test::readFile((defaultDataDir() / "stand-in.jpg").string());
  options.streamPlayer = defaultDataDir() / library::kStreamPlayer;
  options.rescanEvery = std::chrono::seconds(3600);
  options.log = std::move(log);
  return options;
}

LibrarySite::LibrarySite() : folder_(dir_.file("lib")) {
  std::filesystem::copy(clipFolder(), folder_,
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
  start();
}

LibrarySite::~LibrarySite() {
  server_.reset();
}

void LibrarySite::start() {
  library_ = std::make_shared<library::Library>(optionsFor(folder_, database(), [this](const std::string &line) {
    std::lock_guard lock(mutex_);
    log_.push_back(line);
  }));
  library_->waitForFirstScan();
  server_ = std::make_unique<Server>(library_);
  port_ = server_->start();
}

void LibrarySite::restart() {
  server_.reset();
  library_.reset();
  start();
}

std::vector<std::string> LibrarySite::log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

}  // namespace kf::site::test
