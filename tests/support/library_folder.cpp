#include "support/library_folder.h"

#include <cstdint>
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

// Marks an MP4's one track to be shown turned a quarter, as a phone marks a portrait clip: the
// track header's display matrix, which FFmpeg's "rotate" tag no longer writes.
void markPortrait(const std::string &file) {
  std::string bytes = kf::test::readFile(file);
  const auto header = bytes.find("tkhd");
  if (header == std::string::npos) throw std::runtime_error("no track header in " + file);
  const std::uint32_t matrix[9] = {0, 0x10000, 0, 0xFFFF0000, 0, 0, 0, 0, 0x40000000};
  for (std::size_t i = 0; i < 36; ++i)
    bytes[header + 44 + i] = static_cast<char>(matrix[i / 4] >> (24 - 8 * (i % 4)) & 0xFF);
  kf::test::writeFile(file, bytes);
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

const std::string &familyFolder() {
  static kf::test::TempDir made;
  static const std::string folder = [] {
    std::string lib = made.file("lib");
    for (const char *sub : {"Urlaub 2023", "Alt", "Camcorder", "DVD", "Handy"})
      std::filesystem::create_directories(lib + "/" + sub);
    // One run writes them all; "a" and a combining diaeresis make the "ä" and "ö" of the names.
    const std::string girl = "Urlaub 2023/Ma\u0308dchen";
    const std::pair<std::string, std::string> kinds[] = {
        {"-c:v libx264 -pix_fmt yuv420p", girl + ".mp4"},
        {"-c:v libvpx -b:v 100k -metadata title=Brandung -metadata description=Nordsee", "Urlaub 2023/w.webm"},
        {"-c:v libx264 -pix_fmt yuv420p -f mpegts", "Camcorder/00001.MTS"},
        {"-c:v libx264 -pix_fmt yuv420p -f mpegts -mpegts_m2ts_mode 1", "Camcorder/Tag.m2ts"},
        {"-c:v dvvideo -s 720x480 -pix_fmt yuv411p -r 30000/1001 -f dv", "Camcorder/Band.dv"},
        {"-c:v mpeg2video -r 25 -f vob", "DVD/VTS_01_1.VOB"},
        {"-c:v wmv2 -f asf", "Alt/Fest.wmv"},
        {"-c:v msmpeg4 -f asf", "Alt/Geburtstag.asf"},
        {"-c:v flv -f flv", "Alt/Kino.flv"},
        {"-c:v mpeg1video -r 25 -f mpeg", "Alt/Schule.mpeg"},
        {"-c:v libx264 -pix_fmt yuv420p -f 3gp", "Handy/Clip.3gp"}};
    std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=1.5";
    for (const auto &[arguments, file] : kinds) command += " " + arguments + " '" + lib + "/" + file + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("ffmpeg failed: " + command);
    markPortrait(lib + "/" + girl + ".mp4");
    kf::test::writeFile(lib + "/" + girl + ".txt", "Mo\u0308wen am Meer");
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

LibrarySite::LibrarySite(const std::string &source) : folder_(dir_.file("lib")) {
  std::filesystem::copy(source, folder_,
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
