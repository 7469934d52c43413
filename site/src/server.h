#pragma once
// The bundled video site as a real HTTP server on the loopback interface. Tests start one
// in-process on a free port, choose faults and read the request log; klipfang-site runs one
// for the program.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "faults.h"
#include "request_log.h"
#include "site.h"

namespace kf::site {

// The data folder in the source tree, where the committed catalogue and media lie.
std::filesystem::path defaultDataDir();

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

  void setFault(FaultMatch match, Fault fault);
  void clearFaults();

  std::vector<LogEntry> requests() const;
  void clearRequests();
  void writeLogTo(const std::filesystem::path &file);

  const Site &site() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kf::site
