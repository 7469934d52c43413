#pragma once
// The site's answers, apart from any network code: a request in, status, headers and body out.
// The server hands every request here, and a fault that needs the real answer takes it from here.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "media.h"
#include "target.h"

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
};

class Site {
 public:
  static constexpr int kPageSize = 20;

  Site(Catalogue catalogue, Media media);
  // Reads catalogue.txt, clips/ and pictures/ from the data folder; throws CatalogueError.
  static Site load(const std::filesystem::path &dataDir);

  Reply answer(const Request &request) const;

  // The per-video value the file request must carry as t.
  std::string token(const Video &video) const;

  const Catalogue &catalogue() const { return catalogue_; }

 private:
  Reply results(const Target &target, const std::string &base) const;
  Reply videoFile(const Target &target) const;
  Reply picture(const std::string &path) const;

  Catalogue catalogue_;
  Media media_;
};

}  // namespace kf::site
