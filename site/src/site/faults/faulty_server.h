#pragma once
// The site as the tests' real server that misbehaves when told to, through rules or the reserved
// words in an address (faults.h).
#include <filesystem>
#include <memory>

#include "site/faults/faults.h"
#include "site/http/server.h"

namespace kf::site {

class FaultyServer : public Server {
 public:
  explicit FaultyServer(const std::filesystem::path &dataDir = defaultDataDir()) : Server(dataDir) { arm(); }
  explicit FaultyServer(std::shared_ptr<const VideoCatalogue> videos) : Server(std::move(videos)) { arm(); }

  void setFault(FaultMatch match, Fault fault) { faults_->set(std::move(match), fault); }
  void clearFaults() { faults_->clear(); }

 private:
  void arm() { setDetour(faults_); }

  std::shared_ptr<FaultControl> faults_ = std::make_shared<FaultControl>();
};

}  // namespace kf::site
