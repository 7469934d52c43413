// What the program costs the user's system, on a virtual screen as a desktop shows it: how long it
// takes from process start to its main window, and the memory of the program and every process it
// starts (proportional set size, so that what they share is counted once), right after the start and
// after one video has played for a few seconds. Each run starts bench_app_start_program, which
// starts the way the program does, in a fresh process with a fresh program folder, and steps it
// through a search and a video; the site runs here, in this process, so that its memory is not
// counted. Prints the medians of the runs beside their references; exits non-zero when a run fails.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "monotonic_ns.h"
#include "net/site_address.h"
#include "platform/base/cp1252.h"
#include "site/http/server.h"
#include "support/local_site.h"
#include "support/temp_dir.h"

extern char **environ;

namespace kf::bench {
namespace {

using namespace std::chrono_literals;

constexpr int kRuns = 5;
constexpr int kPages = 20;
const std::string kWords = "klipfang";
// How long the video plays before the memory is read: the player has its clip and the page is
// settled by then.
constexpr auto kPlayTime = 4s;
constexpr auto kStepLimit = 120s;

struct Run {
  double mainMs = 0;   // process start to main()
  double shownMs = 0;  // process start to the main window shown
  double startMB = 0;  // all processes, after start
  double startOwnMB = 0;
  int startProcesses = 0;
  double videoMB = 0;  // all processes, after one video
  double videoOwnMB = 0;
  int videoProcesses = 0;
  int rows = 0;
};

struct Memory {
  double allMB = 0;  // the program and every process below it
  double ownMB = 0;  // the program's own process
  int processes = 0;
};

// The proportional set size of one process in KiB; 0 when it has gone.
long pssKiB(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  for (std::string line; std::getline(rollup, line);) {
    if (line.rfind("Pss:", 0) == 0) return std::stol(line.substr(4));
  }
  return 0;
}

// `root` and every process started from it, directly or not.
std::vector<pid_t> processTree(pid_t root) {
  std::multimap<pid_t, pid_t> children;
  std::error_code ignored;
  for (const auto &entry : std::filesystem::directory_iterator("/proc", ignored)) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::ostringstream read;
    read << stat.rdbuf();
    const std::string text = read.str();
    // "pid (name) state ppid ...": the name may hold blanks and brackets of its own.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 1));
    char state = 0;
    pid_t parent = 0;
    if (rest >> state >> parent) children.emplace(parent, std::stoi(name));
  }
  std::vector<pid_t> tree{root};
  for (std::size_t i = 0; i < tree.size(); ++i) {
    const auto [from, to] = children.equal_range(tree[i]);
    for (auto it = from; it != to; ++it) tree.push_back(it->second);
  }
  return tree;
}

Memory memoryOf(pid_t program) {
  Memory memory;
  long allKiB = 0;
  for (const pid_t pid : processTree(program)) {
    allKiB += pssKiB(pid);
    ++memory.processes;
  }
  memory.allMB = static_cast<double>(allKiB) * 1024 / 1e6;
  memory.ownMB = static_cast<double>(pssKiB(program)) * 1024 / 1e6;
  return memory;
}

// The program under measurement: its standard output is read line by line, its standard input takes
// the word to go on; its helpers are in its process group and go with it.
class Program {
 public:
  Program(const std::vector<std::string> &args, const std::string &log) {
    int out[2];
    int in[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(in, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char *> argv;
    argv.reserve(args.size() + 1);
    for (const auto &arg : args) argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    startNs = monotonicNs();
    if (::posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(in[0]);
    out_ = out[0];
    in_ = in[1];
  }
  ~Program() {
    if (pid_ > 0) {
      ::kill(-pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
    ::close(in_);
  }
  Program(const Program &) = delete;
  Program &operator=(const Program &) = delete;

  pid_t pid() const { return pid_; }

  // The next line it writes; nothing when it ends or stays silent too long.
  std::optional<std::string> nextLine() {
    const auto deadline = std::chrono::steady_clock::now() + kStepLimit;
    for (;;) {
      const std::size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd ready{out_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
      char buffer[256];
      const ssize_t got = ::read(out_, buffer, sizeof buffer);
      if (got <= 0) return std::nullopt;
      pending_.append(buffer, static_cast<std::size_t>(got));
    }
  }
  // The value after `key` on its next line; -1 when the line is another.
  long long next(const std::string &key) {
    const std::optional<std::string> line = nextLine();
    if (!line || line->rfind(key + " ", 0) != 0) return -1;
    return std::stoll(line->substr(key.size() + 1));
  }
  bool goOn() { return ::write(in_, "go\n", 3) == 3; }

  long long startNs = 0;

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int in_ = -1;
  std::string pending_;
};

bool clipRequested(const site::Server &server) {
  for (const auto &request : server.requests()) {
    if (request.target.rfind("/get_video.php", 0) == 0) return true;
  }
  return false;
}

std::optional<Run> measureRun(site::Server &server, const net::SiteAddress &site) {
  test::TempDir folder;
  // The delivered settings, and the watch-page template pointed at this site instead of the built-in.
  test::writeFile(folder.file("sets.cfg"), test::readFile(KF_DELIVERED_SETS));
  test::writeFile(folder.file("vid.kf"),
                  text::replaceAll(test::readFile(KF_DELIVERED_VID_KF), KF_SITE_ROOT, site.root));
  const std::string log = folder.file("output.log");
  server.clearRequests();
  const auto failed = [&](const char *step) {
    std::printf("the program failed %s; its output:\n%s\n", step, test::readFile(log).c_str());
    return std::nullopt;
  };

  Program program({KF_START_PROGRAM, site.root, site.rootBare, folder.path(), kWords, std::to_string(kPages)}, log);
  if (program.pid() <= 0) return failed("to start");
  Run run;
  const long long mainNs = program.next("main");
  const long long shownNs = program.next("shown");
  if (mainNs < 0 || shownNs < 0) return failed("to show its window");
  run.mainMs = static_cast<double>(mainNs - program.startNs) / 1e6;
  run.shownMs = static_cast<double>(shownNs - program.startNs) / 1e6;
  const Memory start = memoryOf(program.pid());
  run.startMB = start.allMB;
  run.startOwnMB = start.ownMB;
  run.startProcesses = start.processes;

  if (!program.goOn()) return failed("to go on");
  run.rows = static_cast<int>(program.next("rows"));
  if (program.nextLine() != "watching") return failed("to open the video");
  const auto deadline = std::chrono::steady_clock::now() + kStepLimit;
  while (!clipRequested(server)) {
    if (std::chrono::steady_clock::now() > deadline) return failed("to play the video");
    std::this_thread::sleep_for(50ms);
  }
  std::this_thread::sleep_for(kPlayTime);
  const Memory video = memoryOf(program.pid());
  run.videoMB = video.allMB;
  run.videoOwnMB = video.ownMB;
  run.videoProcesses = video.processes;
  return run;
}

template <class Field>
double median(std::vector<Run> runs, Field field) {
  std::nth_element(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(runs.size() / 2), runs.end(),
                   [&](const Run &a, const Run &b) { return a.*field < b.*field; });
  return runs[runs.size() / 2].*field;
}

// The figures are taken on a virtual screen of their own, the way scripts/screenshots shows the
// program, never on the desktop of whoever runs the benchmarks.
void onAVirtualScreen(char **argv) {
  if (std::getenv("KF_BENCH_SCREEN")) return;
  ::setenv("KF_BENCH_SCREEN", "1", 1);
  ::unsetenv("QT_QPA_PLATFORM");
  char xvfbRun[] = "xvfb-run";
  char automatic[] = "-a";
  char server[] = "-s";
  char screen[] = "-screen 0 1400x900x24";
  char *args[] = {xvfbRun, automatic, server, screen, argv[0], nullptr};
  ::execvp(args[0], args);
  std::perror("bench_app_start: xvfb-run (Debian package xvfb)");
  std::exit(1);
}

}  // namespace
}  // namespace kf::bench

int main(int /*argc*/, char **argv) {
  using namespace kf;
  using namespace kf::bench;
  onAVirtualScreen(argv);
  // As root Chromium has to do without its sandbox, which the program itself arranges; a virtual
  // screen has no graphics card.
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update", 0);
  // The program listens for later starts in the user's runtime folder: here in one of its own.
  const test::TempDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  site::Server server;
  const net::SiteAddress site = test::localSiteAddress(server.start());

  std::vector<Run> runs;
  bool ok = true;
  for (int i = 0; i < kRuns; ++i) {
    const auto run = measureRun(server, site);
    if (!run || run->rows != kPages * 20 || run->startMB <= 0 || run->videoMB <= 0) {
      std::printf("run %d failed%s\n", i + 1, run ? ": wrong number of rows or no memory figure" : "");
      ok = false;
      continue;
    }
    runs.push_back(*run);
  }
  server.stop();
  if (runs.empty()) return 1;

  const double mainMs = median(runs, &Run::mainMs);
  const double shownMs = median(runs, &Run::shownMs);
  const double startMB = median(runs, &Run::startMB);
  const double startOwnMB = median(runs, &Run::startOwnMB);
  const double videoMB = median(runs, &Run::videoMB);
  const double videoOwnMB = median(runs, &Run::videoOwnMB);
  const Run &last = runs.back();
  std::printf(
      "program started %zu times on a virtual screen, medians; search \"%s\", %d pages, %d rows, then the\n"
      "first result played for %lld s in the video window\n",
      runs.size(), kWords.c_str(), kPages, last.rows, static_cast<long long>(kPlayTime.count()));
  std::printf("%-56s %8.1f ms\n", "process start to main()", mainMs);
  std::printf("%-56s %8.1f ms\n", "process start to the main window shown", shownMs);
  std::printf("%-56s %8.1f MB in %d processes (program alone %.1f MB)\n", "memory (PSS) after start", startMB,
              last.startProcesses, startOwnMB);
  std::printf("%-56s %8.1f MB in %d processes (program alone %.1f MB)\n", "memory (PSS) after one video", videoMB,
              last.videoProcesses, videoOwnMB);

  std::printf("FIGURE\tstart to main window shown, virtual screen\t%.1f\tms\t%.0f ms of it before main()\t<= 150\n",
              shownMs, mainMs);
  std::printf("FIGURE\tmemory of all processes, after start\t%.1f\tMB\t%d processes, program alone %.1f MB\t<= 120\n",
              startMB, last.startProcesses, startOwnMB);
  std::printf(
      "FIGURE\tmemory of all processes, after one video\t%.1f\tMB\t%d processes, program alone %.1f MB\t<= 220\n",
      videoMB, last.videoProcesses, videoOwnMB);
  return ok ? 0 : 1;
}
