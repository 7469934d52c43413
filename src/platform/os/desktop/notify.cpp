#include "platform/os/desktop/notify.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char **environ;

namespace kf::desktop {
namespace {

// notify-send ends by itself, soon, but stays a zombie until its parent asks how it ended: a thread
// of its own asks, without holding up the window.
void reapWhenEnded(pid_t pid) {
  try {
    std::thread([pid] {
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error &) {
    // No thread to be had: one zombie until the window closes is the lesser harm than a wait here.
  }
}

}  // namespace

void notifyDesktop(const std::string &summary, const std::string &body) {
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return;
  for (const int fd : {0, 1, 2}) {
    ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  std::string program = "notify-send";
  std::string appName = "--app-name=Klipfang";
  std::string summaryText = summary;
  std::string bodyText = body;
  // "--" keeps a summary or body that begins with "-" from being read as an option.
  std::string endOfOptions = "--";
  char *argv[] = {program.data(), appName.data(), endOfOptions.data(), summaryText.data(), bodyText.data(), nullptr};
  pid_t pid;
  // A desktop without notify-send gets no notification; the download itself is not affected.
  const bool started = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0;
  ::posix_spawn_file_actions_destroy(&actions);
  if (started) reapWhenEnded(pid);
}

}  // namespace kf::desktop
