#include "site/command_line/run_site.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "site/http/listen_address.h"
#include "site/library/library.h"
#include "site/worker/probe_worker.h"
#include "site/worker/worker.h"

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

// For a launcher that finds a site on the folder's catalogue: its address, key and all.
int sayRunningAddress(const SiteOptions &options) {
  const std::optional<std::string> address = library::Library::runningAddress(options.libraryFolder, options.database);
  if (!address) {
    std::cerr << "klipfang-site: Für den Ordner „" << options.libraryFolder.string()
              << "“ läuft keine klipfang-site.\n";
    return 1;
  }
  std::cout << *address << std::endl;
  return 0;
}

}  // namespace

int runSite(const SiteOptions &options, const std::function<std::shared_ptr<Detour>()> &faultWords) {
  std::string refusal = refusalOf(options);
  if (refusal.empty() && options.faultWords && !faultWords) {
    refusal =
        "Diese klipfang-site kennt keine Testfehler; --fault-words versteht nur klipfang-site-faults im "
        "Build-Ordner.";
  }
  if (!refusal.empty()) {
    std::cerr << "klipfang-site: " << refusal << "\n";
    return 2;
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
  if (options.untilInputEnds) stopWhenInputEnds();

  std::shared_ptr<library::Library> library;
  if (!options.libraryFolder.empty()) {
    try {
      if (options.runningAddress) return sayRunningAddress(options);
      library::LibraryOptions wanted;
      wanted.folder = options.libraryFolder;
      wanted.database = options.database;
      wanted.workerProgram = "/proc/self/exe";
      wanted.standInPicture = readFile(options.dataDir / "stand-in.jpg");
      wanted.log = say;
      wanted.newKey = options.newKey;
      wanted.streamPlayer = options.dataDir / library::kStreamPlayer;
      wanted.streamCacheBytes = static_cast<std::uint64_t>(options.streamCacheMegabytes) << 20;
      library = std::make_shared<library::Library>(std::move(wanted));
    } catch (const library::LibraryError &e) {
      std::cerr << "klipfang-site: " << e.what() << "\n";
      return 2;
    }
  }

  try {
    auto server = library ? std::make_unique<Server>(library) : std::make_unique<Server>(options.dataDir);
    if (!options.logFile.empty()) server->writeLogTo(options.logFile);
    if (options.faultWords) server->setDetour(faultWords());
    const int bound = server->start(options.port, options.address);
    const std::string port = std::to_string(bound);
    if (library) {
      const std::string address = "http://" + reachedAt(options.address) + ":" + port + "/" + library->accessKey();
      library->announce(address);
      // The launcher reads the port and the key from the line's address, the first to start so.
      say("http://www.localhost:" + port + "/" + library->accessKey() + "/ (Ordner „" + options.libraryFolder.string() +
          "“), auf " + options.address + ": " +
          (isLoopbackAddress(options.address) ? std::string("nur dieser Computer erreicht sie")
                                              : "das Netz erreicht sie unter " + reachedAt(options.address) +
                                                    ", und mit ihr jedes Video des Ordners") +
          ". Die Adresse für Klipfang: " + address + " – Ende mit Strg+C");
    } else {
      say("http://www.localhost:" + port + "/ (" + std::to_string(server->site().videos().count()) + " Videos), auf " +
          options.address + ", Ende mit Strg+C");
    }
    int received = 0;
    sigwait(&signals, &received);
    server->stop();
  } catch (const std::exception &e) {
    std::cerr << "klipfang-site: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

int siteMain(const std::vector<std::string> &arguments, const std::function<std::shared_ptr<Detour>()> &faultWords) {
  if (arguments == std::vector<std::string>{worker::kWorkerArgument}) return worker::runWorker();
  const auto options = parseSiteOptions(arguments, defaultDataDir());
  if (!options) {
    std::cerr << kSiteUsage;
    return 2;
  }
  return runSite(*options, faultWords);
}

}  // namespace kf::site
