// How long the program takes from process start to its main window on the screen (offscreen), and
// how much memory its process holds then and after a search of 20 result pages. Each run starts
// bench_app_start_program, which starts the way the program does, in a fresh process with a fresh
// program folder; the site it searches runs here, in this process, so that its memory is not counted.
// Prints the medians of the runs beside their references; exits non-zero when a run fails.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "monotonic_ns.h"
#include "net/site_address.h"
#include "server.h"
#include "support/temp_dir.h"

extern char **environ;

namespace kf::bench {
namespace {

constexpr int kRuns = 5;
constexpr int kPages = 20;
const std::string kWords = "klipfang";

struct Run {
  double mainMs = 0;   // process start to main()
  double shownMs = 0;  // process start to the main window shown
  double rssStartMiB = 0;
  double rssSearchMiB = 0;
  int rows = 0;
};

// Starts the program with `args` (its path first), its output going to `log`, and waits for it;
// startNs is taken right before the start. False when it could not start or did not end well.
bool runProgram(const std::vector<std::string> &args, const std::string &log, long long &startNs) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<char *> argv;
  for (const auto &arg : args) argv.push_back(const_cast<char *>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  startNs = monotonicNs();
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The "key value" lines of a figures file.
std::map<std::string, long long> readFigures(const std::string &file) {
  std::map<std::string, long long> values;
  std::ifstream lines(file);
  std::string key;
  for (long long value; lines >> key >> value;) values[key] = value;
  return values;
}

std::optional<Run> measureRun(const net::SiteAddress &site) {
  test::TempDir folder;
  // The delivered settings and watch-page template, as the build lays them beside the program.
  test::writeFile(folder.file("sets.cfg"), test::readFile(KF_DELIVERED_SETS));
  test::writeFile(folder.file("vid.kf"), test::readFile(KF_DELIVERED_VID_KF));
  const std::string figures = folder.file("figures.txt");
  const std::string log = folder.file("output.log");
  long long startNs = 0;
  if (!runProgram({KF_START_PROGRAM, site.root, site.rootBare, folder.path(), kWords, std::to_string(kPages), figures},
                  log, startNs)) {
    std::printf("the program failed; its output:\n%s\n", test::readFile(log).c_str());
    return std::nullopt;
  }
  const auto values = readFigures(figures);
  const auto at = [&](const char *key) { return values.count(key) ? values.at(key) : -1; };
  Run run;
  run.mainMs = static_cast<double>(at("main_ns") - startNs) / 1e6;
  run.shownMs = static_cast<double>(at("shown_ns") - startNs) / 1e6;
  run.rssStartMiB = static_cast<double>(at("rss_start_kib")) / 1024;
  run.rssSearchMiB = static_cast<double>(at("rss_search_kib")) / 1024;
  run.rows = static_cast<int>(at("rows"));
  return run;
}

template <class Field>
double median(std::vector<Run> runs, Field field) {
  std::nth_element(runs.begin(), runs.begin() + runs.size() / 2, runs.end(),
                   [&](const Run &a, const Run &b) { return a.*field < b.*field; });
  return runs[runs.size() / 2].*field;
}

}  // namespace
}  // namespace kf::bench

int main() {
  using namespace kf;
  using namespace kf::bench;
  // The figures are taken offscreen, the way the tests run the program; as root Chromium has to do
  // without its sandbox, which the program itself arranges.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update", 0);
  site::Server server;
  const net::SiteAddress site = net::localSiteAddress(server.start());

  std::vector<Run> runs;
  bool ok = true;
  for (int i = 0; i < kRuns; ++i) {
    const auto run = measureRun(site);
    if (!run || run->rows != kPages * 20 || run->rssStartMiB <= 0) {
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
  const double rssStart = median(runs, &Run::rssStartMiB);
  const double rssSearch = median(runs, &Run::rssSearchMiB);
  std::printf("program started %zu times offscreen, medians; search \"%s\", %d pages, %d rows\n", runs.size(),
              kWords.c_str(), kPages, runs.front().rows);
  std::printf("%-52s %8.1f ms\n", "process start to main()", mainMs);
  std::printf("%-52s %8.1f ms\n", "process start to the main window shown", shownMs);
  std::printf("%-52s %8.1f MiB\n", "resident memory after start", rssStart);
  std::printf("%-52s %8.1f MiB\n", "resident memory after the search", rssSearch);

  char reference[64];
  std::snprintf(reference, sizeof reference, "%.0f ms of it before main()", mainMs);
  std::printf("FIGURE\tstart-up to main window shown (offscreen)\t%.1f\tms\t%s\t-\n", shownMs, reference);
  std::printf("FIGURE\tresident memory after start\t%.1f\tMiB\t-\t-\n", rssStart);
  std::snprintf(reference, sizeof reference, "%+.1f MiB over the start", rssSearch - rssStart);
  std::printf("FIGURE\tresident memory after a 20-page search\t%.1f\tMiB\t%s\t-\n", rssSearch, reference);
  return ok ? 0 : 1;
}
