// klipfang-site: serves the bundled video site, or a folder of the user's own videos, until Ctrl+C
// or SIGTERM, or, for a launcher, until its input ends. Started with --probe-worker it is the FFmpeg
// worker of a running site instead.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "library/library.h"
#include "library/worker.h"
#include "server.h"

namespace {

int usage() {
  std::cerr << "Aufruf: klipfang-site [--port N] [--listen ADRESSE] [--log DATEI] [--data ORDNER]\n"
               "                     [--library ORDNER [--database DATEI]] [--until-input-ends]\n";
  return 2;
}

std::string readFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void say(const std::string &line) {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::cout << "klipfang-site: " << line << std::endl;
}

// A launcher that started the site holds the other end of its input, so the site goes when that
// launcher goes, however it ends, and nothing needs the site's process id to stop it: an id can
// name another process once this one is gone.
void stopWhenInputEnds() {
  std::thread([] {
    char buffer[256];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n == 0 || (n < 0 && errno != EINTR)) break;
    }
    ::kill(::getpid(), SIGTERM);
  }).detach();
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 2 && std::string_view(argv[1]) == kf::site::library::kWorkerArgument) {
    return kf::site::library::runWorker();
  }
  int port = 8480;
  std::string logFile;
  std::string address = "127.0.0.1";
  std::filesystem::path dataDir = kf::site::defaultDataDir();
  std::filesystem::path libraryFolder;
  std::filesystem::path database;
  bool untilInputEnds = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--until-input-ends") {
      untilInputEnds = true;
      continue;
    }
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
    } else if (arg == "--listen") {
      address = argv[++i];
    } else if (arg == "--library") {
      libraryFolder = argv[++i];
    } else if (arg == "--database") {
      database = argv[++i];
    } else {
      return usage();
    }
  }
  if (!database.empty() && libraryFolder.empty()) return usage();

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
  if (untilInputEnds) stopWhenInputEnds();

  std::shared_ptr<kf::site::library::Library> library;
  if (!libraryFolder.empty()) {
    try {
      library = std::make_shared<kf::site::library::Library>(
          kf::site::library::LibraryOptions{libraryFolder, database, "/proc/self/exe",
                                            readFile(dataDir / "stand-in.jpg"), std::chrono::seconds(60), true, say});
    } catch (const kf::site::library::LibraryError &e) {
      std::cerr << "klipfang-site: " << e.what() << "\n";
      return 2;
    }
  }

  try {
    auto server = library ? std::make_unique<kf::site::Server>(library) : std::make_unique<kf::site::Server>(dataDir);
    if (!logFile.empty()) server->writeLogTo(logFile);
    int bound = server->start(port, address);
    const std::string what =
        library ? "Ordner " + libraryFolder.string() : std::to_string(server->site().videos().count()) + " Videos";
    // The launcher reads the port from this line, the first to start so.
    say("http://www.localhost:" + std::to_string(bound) + "/ (" + what + "), auf " + address + ", Ende mit Strg+C");
    int received = 0;
    sigwait(&signals, &received);
    server->stop();
  } catch (const std::exception &e) {
    std::cerr << "klipfang-site: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
