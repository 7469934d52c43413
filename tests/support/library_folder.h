#pragma once
// A library folder as a user has one: tiny clips made by ffmpeg (once per test program), with tags,
// a side text, a file the video window cannot play, a broken file, a hidden folder, a link inside
// the folder and one that leaves it. Each test gets a copy of its own to change, a catalogue in its
// own temporary folder, and the site on a free port.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "site/http/server.h"
#include "site/library/library.h"
#include "support/temp_dir.h"

namespace kf::site::test {

// The clips, made on first use.
const std::string &clipFolder();
// A family's folder: every other kind of file phones, camcorders, DVDs and older cameras write, a
// phone's portrait clip, names written the Apple way (decomposed) and a holiday's folder, made on
// first use.
const std::string &familyFolder();

class LibrarySite {
 public:
  // Copies the clips (or those of `source`) into a folder of its own and serves it, its first scan
  // done.
  LibrarySite() : LibrarySite(clipFolder()) {}
  explicit LibrarySite(const std::string &source);
  ~LibrarySite();

  const std::string &folder() const { return folder_; }
  std::string database() const { return dir_.file("cache/library.sqlite"); }
  library::Library &library() { return *library_; }
  int port() const { return port_; }
  std::string host() const { return "localhost:" + std::to_string(port_); }
  // The start of every address of the site: its access key.
  std::string key() const { return library_->accessKey(); }
  std::string root() const { return "/" + key(); }
  // Every line the library logged so far.
  std::vector<std::string> log() const;

  // Stops the site and serves the same folder and catalogue anew.
  void restart();

 private:
  void start();

  kf::test::TempDir dir_;
  std::string folder_;
  mutable std::mutex mutex_;
  std::vector<std::string> log_;
  std::shared_ptr<library::Library> library_;
  std::unique_ptr<Server> server_;
  int port_ = 0;
};

library::LibraryOptions optionsFor(const std::string &folder, const std::string &database,
                                   std::function<void(const std::string &)> log);

}  // namespace kf::site::test
