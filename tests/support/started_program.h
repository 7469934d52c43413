#pragma once
// A real program started by a test, in a process group of its own: it runs until it ends or the
// test is done with it, when it and everything it started are killed.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace kf::test {

class StartedProgram {
 public:
  // Starts `program` with `args` and the test's environment less the variables named in `unset`;
  // its standard output and error go to `output` (nothing kept when empty).
  StartedProgram(const std::string &program, const std::vector<std::string> &args, const std::string &output = {},
                 const std::vector<std::string> &unset = {});
  ~StartedProgram();
  StartedProgram(const StartedProgram &) = delete;
  StartedProgram &operator=(const StartedProgram &) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  // Waits, a minute at most, for the program to end: its exit status, or nothing when it was
  // killed by a signal or is still running.
  std::optional<int> exitStatus();
  void kill(int signal);

 private:
  bool reap(bool wait);

  pid_t pid_ = -1;
  std::optional<int> status_;  // the raw wait status once reaped
};

// The processes whose program file is `path`.
std::vector<pid_t> processesOf(const std::string &path);

}  // namespace kf::test
