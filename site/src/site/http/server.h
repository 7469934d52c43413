#pragma once
// The bundled video site as a real HTTP server on the loopback interface. Tests start one
// in-process on a free port and read the request log; klipfang-site runs one for the program.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "site/catalogue/built_in_catalogue.h"
#include "site/http/detour.h"
#include "site/http/head_reader.h"
#include "site/http/request_log.h"
#include "site/pages/site.h"

namespace kf::site {

class Server {
 public:
  // Loads the catalogue and media; throws CatalogueError when they are missing or malformed.
  explicit Server(const std::filesystem::path &dataDir = defaultDataDir());
  // Serves any catalogue, a library of the user's own videos among them.
  explicit Server(std::shared_ptr<const VideoCatalogue> videos);
  ~Server();
  Server(const Server &) = delete;
  Server &operator=(const Server &) = delete;

  // Listens on address:port (port 0: any free port) and serves in the background. Answers the
  // port it got; throws std::runtime_error when it cannot listen.
  int start(int port = 0, const std::string &address = "127.0.0.1");
  // Ends every connection, running faults included, and returns when all are closed.
  void stop();
  int port() const;

  // Hands every request to `detour` first (before start()): what it answers never reaches the
  // ordinary answer. The site's tests misbehave through it; the installed program has none.
  void setDetour(std::shared_ptr<Detour> detour);
  // How long a client may take over a request head, and how many connections it may hold waiting
  // (before start()).
  void setConnectionLimits(const ConnectionLimits &limits);

  std::vector<LogEntry> requests() const;
  void clearRequests();
  void writeLogTo(const std::filesystem::path &file);

  const Site &site() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kf::site
