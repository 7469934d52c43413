#include "site/command_line/run_site.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "site/library/library.h"

namespace kf::site {
namespace {

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

int runSite(const SiteOptions &options, const std::function<void(Server &)> &prepare) {
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
  if (options.untilInputEnds) stopWhenInputEnds();

  std::shared_ptr<library::Library> library;
  if (!options.libraryFolder.empty()) {
    try {
      library::LibraryOptions libraryOptions;
      libraryOptions.folder = options.libraryFolder;
      libraryOptions.database = options.database;
      libraryOptions.workerProgram = "/proc/self/exe";
      libraryOptions.standInPicture = readFile(options.dataDir / "stand-in.jpg");
      libraryOptions.streamPlayer = options.dataDir / library::kStreamPlayer;
      libraryOptions.log = say;
      libraryOptions.streamCacheBytes = static_cast<std::uint64_t>(options.streamCacheMegabytes) << 20;
      library = std::make_shared<library::Library>(std::move(libraryOptions));
    } catch (const library::LibraryError &e) {
      std::cerr << "klipfang-site: " << e.what() << "\n";
      return 2;
    }
  }

  try {
    auto server = library ? std::make_unique<Server>(library) : std::make_unique<Server>(options.dataDir);
    if (!options.logFile.empty()) server->writeLogTo(options.logFile);
    prepare(*server);
    const int bound = server->start(options.port, options.address);
    const std::string what = library ? "Ordner " + options.libraryFolder.string()
                                     : std::to_string(server->site().videos().count()) + " Videos";
    // The launcher reads the port from this line, the first to start so.
    say("http://www.localhost:" + std::to_string(bound) + "/ (" + what + "), auf " + options.address +
        ", Ende mit Strg+C");
    int received = 0;
    sigwait(&signals, &received);
    server->stop();
  } catch (const std::exception &e) {
    std::cerr << "klipfang-site: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace kf::site
