#include "support/programs.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "support/temp_dir.h"

extern char **environ;

namespace kf::test {

void writeScript(const std::string &path, const std::string &body) {
  writeFile(path, "#!/bin/sh\n" + body);
  if (::chmod(path.c_str(), 0755) != 0) throw std::runtime_error("cannot make " + path + " executable");
}

void writeRecordingScript(const std::string &path, const std::string &record) {
  writeScript(
      path,
      "{ printf '%s\\n' \"${KLIPFANG_SHOW_WINDOW-unset}\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
          record + ".tmp' && mv '" + record + ".tmp' '" + record + "'\n");
}

namespace {

// Starts `program` as runProgram does, without waiting; -1 when it cannot be started.
pid_t spawnProgram(const std::string &program, const std::string &argument,
                   const std::vector<std::string> &environment) {
  std::vector<std::string> entries;
  for (char **entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('=') + 1);
    const bool replaced = std::ranges::any_of(environment, [&](const std::string &e) { return e.starts_with(name); });
    if (!replaced) entries.push_back(text);
  }
  entries.insert(entries.end(), environment.begin(), environment.end());
  std::vector<char *> envp;
  envp.reserve(entries.size() + 1);
  for (std::string &entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string programText = program;
  std::string argumentText = argument;
  char *argv[] = {programText.data(), argumentText.data(), nullptr};
  pid_t pid;
  return ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) == 0 ? pid : -1;
}

}  // namespace

int runProgram(const std::string &program, const std::string &argument, const std::vector<std::string> &environment) {
  const pid_t pid = spawnProgram(program, argument, environment);
  if (pid < 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool eventually(const std::function<bool()> &condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::vector<std::string> filesIn(const std::string &folder) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::ranges::sort(names);
  return names;
}

int deadPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
    throw std::runtime_error("cannot find a free port");
  }
  // A port the system just handed out and took back: nothing listens on it.
  ::close(fd);
  return ntohs(address.sin_port);
}

FetchLauncher::FetchLauncher(const std::string &program, const std::string &programFolder, const std::string &folder,
                             const std::string &prelude)
    : program_(program),
      path_(programFolder + "/klipfang-fetch"),
      ids_(folder + "/started"),
      runtimeFolder_("XDG_RUNTIME_DIR", folder + "/runtime") {
  std::filesystem::create_directory(folder + "/runtime");
  ::chmod((folder + "/runtime").c_str(), 0700);
  writeScript(path_, prelude + "echo $$ >> '" + ids_ + "'\nexec '" + program + "' \"$@\"\n");
}

pid_t FetchLauncher::start(const std::string &address, const std::vector<std::string> &environment) {
  const pid_t pid = spawnProgram(path_, address, environment);
  if (pid > 0) children_.push_back(pid);
  return pid;
}

FetchLauncher::~FetchLauncher() {
  std::ifstream ids(ids_);
  std::error_code error;
  const auto program = std::filesystem::canonical(program_, error);
  for (pid_t pid; ids >> pid;) {
    // A start that ended long ago may have left its id to another process, which is not ours to end.
    if (std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error) == program) {
      ::kill(pid, SIGKILL);
    }
  }
  for (const pid_t child : children_) ::waitpid(child, nullptr, 0);
}

}  // namespace kf::test
