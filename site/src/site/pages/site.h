#pragma once
// The site's answers, apart from any network code: a request in, status, headers and body out.
// The server hands every request here, and a fault that needs the real answer takes it from here.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "site/catalogue/built_in_catalogue.h"
#include "site/catalogue/video_catalogue.h"
#include "site/pages/layout.h"
#include "site/pages/target.h"

namespace kf::site {

struct Request {
  std::string method;  // "GET" or "HEAD"; the answer is the same, the server leaves out the body
  std::string target;  // path and query as sent
  std::string host;    // a checked host name (see safeHost), for absolute addresses
};

struct Reply {
  int status = 200;
  std::string contentType;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // beyond Content-Type and -Length
  std::shared_ptr<const OpenFile> file;                      // when set, the body is this file's

  std::uint64_t bodySize() const { return file ? file->size() : body.size(); }
  // Up to `length` bytes of the body from `offset`; empty when the file cannot be read there.
  std::string bodyPiece(std::uint64_t offset, std::size_t length) const;
};

class Site {
 public:
  static constexpr int kPageSize = 20;
  // Every video ("*", kEveryVideoWord) comes in pages as long as the program reads whole (9,999
  // lines, eleven an entry): a folder of thousands fills its list in a few pages.
  static constexpr int kEveryPageSize = 800;
  // A search takes each word once, the first 16 words, and of each its first 100 characters.
  static constexpr std::size_t kMostSearchWords = 16;
  static constexpr std::size_t kLongestSearchWord = 100;
  // A busy catalogue's answer (503) asks the client to come back after this long.
  static constexpr int kRetryAfterSeconds = 2;
  // On the home page of a site that serves a folder of the user's: the folder's identity.
  static constexpr const char *kFolderHeader = "X-Klipfang-Library";

  explicit Site(std::shared_ptr<const VideoCatalogue> videos);
  // The built-in catalogue from the data folder; throws CatalogueError.
  static Site load(const std::filesystem::path &dataDir);

  Reply answer(const Request &request) const;

  // Search words that mean something else to this site (the test faults' words) and are not searched for.
  void leaveOutWords(std::function<bool(std::string_view)> owned) { ownedWord_ = std::move(owned); }

  // The per-video value the file request must carry as t.
  std::string token(const Video &video) const;

  const VideoCatalogue &videos() const { return *videos_; }
  // The records of the built-in catalogue, for tests that pick its videos; throws std::logic_error
  // on a site that serves a library.
  const Catalogue &catalogue() const;

 private:
  Reply route(const Target &target, const Place &place) const;
  Reply results(const Target &target, const Place &place) const;
  Reply videoFile(const Target &target, const Place &place) const;
  Reply picture(const std::string &path, const Place &place) const;
  Reply stream(const std::string &path, const Place &place) const;

  std::shared_ptr<const VideoCatalogue> videos_;
  std::shared_ptr<const BuiltInCatalogue> builtIn_;
  std::string key_;
  std::function<bool(std::string_view)> ownedWord_ = [](std::string_view) { return false; };
};

}  // namespace kf::site
