#include "support/started_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/base/system_message.h"

extern char **environ;

namespace kf::test {

StartedProgram::StartedProgram(const std::string &program, const std::vector<std::string> &args,
                               const std::string &output, const std::vector<std::string> &unset) {
  std::vector<std::string> entries;
  for (char **entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    bool drop = false;
    for (const std::string &name : unset) drop = drop || text.starts_with(name + "=");
    if (!drop) entries.push_back(text);
  }
  std::vector<char *> envp;
  envp.reserve(entries.size() + 1);
  for (std::string &entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char *> argv;
  argv.reserve(words.size() + 1);
  for (std::string &word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string sink = output.empty() ? "/dev/null" : output;
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, sink.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const int failed = ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + program + ": " + systemMessage(failed));
}

StartedProgram::~StartedProgram() {
  ::kill(-pid_, SIGKILL);
  reap(true);
}

bool StartedProgram::reap(bool wait) {
  if (status_) return true;
  int status = 0;
  if (::waitpid(pid_, &status, wait ? 0 : WNOHANG) != pid_) return false;
  status_ = status;
  return true;
}

bool StartedProgram::running() {
  return !reap(false);
}

std::optional<int> StartedProgram::exitStatus() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!reap(false) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!status_ || !WIFEXITED(*status_)) return std::nullopt;
  return WEXITSTATUS(*status_);
}

void StartedProgram::kill(int signal) {
  ::kill(pid_, signal);
}

std::vector<pid_t> processesOf(const std::string &path) {
  std::vector<pid_t> found;
  std::error_code ignored;
  for (const auto &entry : std::filesystem::directory_iterator("/proc", ignored)) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (std::filesystem::read_symlink(entry.path() / "exe", ignored) == path) found.push_back(std::stoi(name));
  }
  return found;
}

}  // namespace kf::test
