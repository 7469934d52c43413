#include "platform/desktop/notify.h"

#include <fcntl.h>
#include <spawn.h>

extern char **environ;

namespace kf::desktop {

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
  ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
  ::posix_spawn_file_actions_destroy(&actions);
}

}  // namespace kf::desktop
