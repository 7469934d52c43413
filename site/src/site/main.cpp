// klipfang-site: serves the bundled video site, or a folder of the user's own videos. Started with
// --probe-worker it is the FFmpeg worker of a running site instead.
#include <iostream>
#include <string>
#include <vector>

#include "site/command_line/run_site.h"
#include "site/faults/faults.h"
#include "site/worker/probe_worker.h"
#include "site/worker/worker.h"

int main(int argc, char **argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments == std::vector<std::string>{kf::site::worker::kWorkerArgument}) return kf::site::worker::runWorker();
  const auto options = kf::site::parseSiteOptions(arguments, kf::site::defaultDataDir());
  if (!options) {
    std::cerr << kf::site::kSiteUsage;
    return 2;
  }
  return kf::site::runSite(
      *options, [](kf::site::Server &server) { server.setDetour(std::make_shared<kf::site::FaultControl>()); });
}
