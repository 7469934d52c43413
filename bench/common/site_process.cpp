#include "common/site_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>

extern char **environ;

namespace kf::bench {

Process spawnSite(const std::string &program, const std::vector<std::string> &arguments) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) std::exit(1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char *> argv{const_cast<char *>(program.c_str())};
  for (const auto &argument : arguments) argv.push_back(const_cast<char *>(argument.c_str()));
  argv.push_back(nullptr);
  Process process;
  if (posix_spawn(&process.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) std::exit(1);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  process.output = pipeFds[0];
  return process;
}

std::string waitForLine(const Process &process, const std::string &text) {
  std::string seen;
  char chunk[4096];
  while (seen.find(text) == std::string::npos) {
    const ssize_t got = ::read(process.output, chunk, sizeof chunk);
    if (got <= 0) {
      std::fprintf(stderr, "the site ended before saying \"%s\":\n%s\n", text.c_str(), seen.c_str());
      std::exit(1);
    }
    seen.append(chunk, static_cast<std::size_t>(got));
  }
  return seen;
}

void stop(const Process &process) {
  ::kill(process.pid, SIGTERM);
  ::waitpid(process.pid, nullptr, 0);
  ::close(process.output);
}

double peakMB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:")) return std::atof(line.c_str() + 6) / 1024;
  }
  return 0;
}

void figure(const char *name, double value, const char *unit, const std::string &reference, const char *target) {
  std::printf("%-58s %10.2f %-3s (%s), target %s\n", name, value, unit, reference.c_str(), target);
  std::printf("FIGURE\t%s\t%.2f\t%s\t%s\t%s\n", name, value, unit, reference.c_str(), target);
  std::fflush(stdout);
}

std::string text(const char *format, ...) {
  char out[160];
  std::va_list values;
  va_start(values, format);
  std::vsnprintf(out, sizeof out, format, values);
  va_end(values);
  return out;
}

}  // namespace kf::bench
