#include "platform/os/shell/shell_execute.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string_view>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/base/system_message.h"

extern char **environ;

namespace kf::shell {
namespace {

// Everything the started program needs, made before fork: between fork and exec a threaded process
// may only make async-signal-safe calls, so no allocation happens there.
struct Launch {
  std::vector<std::string> texts;
  std::vector<char *> argv;
  std::vector<char *> envp;
  const char *file = nullptr;
  int highestDescriptor = 0;
};

void makeLaunch(Launch &launch, const std::string &file, const std::string &parameters, int showMode) {
  const std::string prefix = std::string(kShowModeVariable) + "=";
  launch.texts = {file, parameters};
  for (char **entry = environ; *entry; ++entry) {
    if (!std::string_view(*entry).starts_with(prefix)) launch.texts.emplace_back(*entry);
  }
  launch.texts.push_back(prefix + std::to_string(showMode));
  // Pointers only once the texts stop moving.
  launch.argv = {launch.texts[0].data(), launch.texts[1].data(), nullptr};
  for (std::size_t i = 2; i < launch.texts.size(); ++i) launch.envp.push_back(launch.texts[i].data());
  launch.envp.push_back(nullptr);
  launch.file = launch.texts[0].c_str();
  const long openMax = ::sysconf(_SC_OPEN_MAX);
  launch.highestDescriptor = openMax > 0 && openMax < INT_MAX ? static_cast<int>(openMax) - 1 : 65535;
}

void closeFrom(int first, int last, int highest) {
  if (first > last) return;
  if (::close_range(static_cast<unsigned>(first), static_cast<unsigned>(last), 0) == 0) return;
  for (int fd = first; fd <= last && fd <= highest; ++fd) ::close(fd);
}

// Runs in the grandchild: a session of its own, empty input, default signal handling, none of our
// descriptors but the error pipe (closed by exec itself), then the program.
[[noreturn]] void becomeProgram(const Launch &launch, int errorPipe, int nullInput) {
  ::setsid();
  if (nullInput == STDIN_FILENO) {
    ::fcntl(STDIN_FILENO, F_SETFD, 0);
  } else {
    ::dup2(nullInput, STDIN_FILENO);
  }
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  for (int sig = 1; sig < NSIG; ++sig) {
    if (sig != SIGKILL && sig != SIGSTOP) ::sigaction(sig, &byDefault, nullptr);
  }
  sigset_t none;
  ::sigemptyset(&none);
  ::pthread_sigmask(SIG_SETMASK, &none, nullptr);
  closeFrom(STDERR_FILENO + 1, errorPipe - 1, launch.highestDescriptor);
  closeFrom(std::max(errorPipe + 1, STDERR_FILENO + 1), INT_MAX, launch.highestDescriptor);
  ::execve(launch.file, launch.argv.data(), launch.envp.data());
  const int error = errno;
  [[maybe_unused]] const ssize_t written = ::write(errorPipe, &error, sizeof error);
  ::_exit(127);
}

// Why a program did not start, in the user's words.
std::string reasonFor(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return text::cp1252(u8"Es fehlt.");
    case EACCES:
    case EPERM:
      return text::cp1252(u8"Es ist nicht ausführbar.");
    case ENOEXEC:
      return text::cp1252(u8"Es ist kein ausführbares Programm.");
    case EAGAIN:
    case ENOMEM:
    case EMFILE:
    case ENFILE:
      return text::cp1252(u8"Dem System fehlen gerade die Mittel dafür.");
    default:
      return text::cp1252(u8"Systemfehler ") + std::to_string(error) + " (" + systemMessage(error) + ").";
  }
}

std::string notStartedText(const std::string &file, int error) {
  return file.empty() ? text::cp1252(u8"Es ist kein Programm eingerichtet, das die Adresse öffnen könnte.")
                      : text::cp1252(u8"Das Programm „") + file + text::cp1252(u8"“ kann nicht gestartet werden. ") +
                            reasonFor(error);
}

// The start itself: 0 once the program runs, otherwise the system's error number.
int start(const std::string &file, const std::string &parameters, int showMode) {
  Launch launch;
  makeLaunch(launch, file, parameters, showMode);

  int errorPipe[2];
  if (::pipe2(errorPipe, O_CLOEXEC) != 0) return errno;
  const int nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (nullInput < 0) {
    const int error = errno;
    ::close(errorPipe[0]);
    ::close(errorPipe[1]);
    return error;
  }

  // Two forks: the middle process ends at once, so the program is handed to the system's reaper and
  // never lingers as our zombie, whatever the rest of the process does with SIGCHLD.
  const pid_t middle = ::fork();
  if (middle == 0) {
    const pid_t program = ::fork();
    if (program == 0) becomeProgram(launch, errorPipe[1], nullInput);
    if (program < 0) {
      const int error = errno;
      [[maybe_unused]] const ssize_t written = ::write(errorPipe[1], &error, sizeof error);
    }
    ::_exit(0);
  }
  const int forkError = errno;
  ::close(errorPipe[1]);
  ::close(nullInput);
  if (middle < 0) {
    ::close(errorPipe[0]);
    return forkError;
  }
  while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without a word when exec succeeds; otherwise it carries the failure.
  int error = 0;
  ssize_t got;
  do {
    got = ::read(errorPipe[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(errorPipe[0]);
  if (got == 0) return 0;
  return got == static_cast<ssize_t>(sizeof error) && error != 0 ? error : EIO;
}

}  // namespace

std::optional<std::string> startProgram(const std::string &file, const std::string &parameters, int showMode) {
  const int error = file.empty() ? ENOENT : start(file, parameters, showMode);
  if (error == 0) return std::nullopt;
  return notStartedText(file, error);
}

bool shellExecute(const std::string &file, const std::string &parameters, int showMode, const TellUser &tell) {
  const auto failure = startProgram(file, parameters, showMode);
  if (failure) tell(*failure);
  return !failure;
}

}  // namespace kf::shell
