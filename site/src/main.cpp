// klipfang-site: serves the bundled video site on the loopback interface until Ctrl+C or SIGTERM.
#include <signal.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "server.h"

namespace {

int usage() {
  std::cerr << "Aufruf: klipfang-site [--port N] [--log DATEI] [--data ORDNER]\n";
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  int port = 8480;
  std::string logFile;
  std::filesystem::path dataDir = kf::site::defaultDataDir();
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (i + 1 >= argc) return usage();
    if (arg == "--port") {
      char *end = nullptr;
      long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 0 || value > 65535) return usage();
      port = static_cast<int>(value);
    } else if (arg == "--log") {
      logFile = argv[++i];
    } else if (arg == "--data") {
      dataDir = argv[++i];
    } else {
      return usage();
    }
  }

  // Every thread the server starts inherits this mask, so the signals reach sigwait below. A shell
  // that starts the site in the background may have set it to ignore SIGINT; sigwait never sees
  // an ignored signal.
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  try {
    kf::site::Server server(dataDir);
    if (!logFile.empty()) server.writeLogTo(logFile);
    int bound = server.start(port);
    std::cout << "klipfang-site: http://www.localhost:" << bound << "/ (" << server.site().catalogue().videos().size()
              << " Videos), Ende mit Strg+C" << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    server.stop();
  } catch (const std::exception &e) {
    std::cerr << "klipfang-site: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
