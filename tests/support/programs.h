#pragma once
// What the tests need around the programs they start: little scripts that record how they
// were started, a way to run a program and wait for it, and a bounded wait for what a detached
// program leaves behind.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "support/environment_variable.h"

namespace kf::test {

// Writes an executable /bin/sh script with this body.
void writeScript(const std::string &path, const std::string &body);

// A script that writes its show mode variable and its arguments, one per line, to `record` (made
// whole at once, so a reader never sees half of it).
void writeRecordingScript(const std::string &path, const std::string &record);

// Runs `program` with one argument and our environment plus `environment` ("NAME=value" entries
// replace ours), waits for it and answers its exit status (-1 when it did not end normally).
int runProgram(const std::string &program, const std::string &argument, const std::vector<std::string> &environment);

// Polls until `condition` holds, for at most a minute; answers whether it came to hold.
bool eventually(const std::function<bool()> &condition);

// The names of the files in `folder`, sorted.
std::vector<std::string> filesIn(const std::string &folder);

// A port on the loopback where nothing listens.
int deadPort();

// klipfang-fetch as a test starts it, through a script that notes each start's process id before it
// becomes the program (after `prelude`, shell lines of the test's own). The script is klipfang-fetch
// in `programFolder`, where the program registered with that folder finds its browser program; the
// ids and the runtime folder are kept in `folder`. A hidden start leaves its downloads window open,
// as for a user; the test ends those still running, by their ids, when this goes. Each test gets a
// runtime folder of its own, so its starts meet only each other.
class FetchLauncher {
 public:
  FetchLauncher(const std::string &program, const std::string &programFolder, const std::string &folder,
                const std::string &prelude = "");
  ~FetchLauncher();
  FetchLauncher(const FetchLauncher &) = delete;
  FetchLauncher &operator=(const FetchLauncher &) = delete;

  // The script to start in the program's place.
  const std::string &path() const { return path_; }
  // Starts it as runProgram does, without waiting for it; its process id, -1 when it did not start.
  pid_t start(const std::string &address, const std::vector<std::string> &environment);

 private:
  std::string program_;
  std::string path_;
  std::string ids_;
  // The launched programs' hand-over sockets, and this program's, go to the launcher's folder.
  EnvironmentVariable runtimeFolder_;
  std::vector<pid_t> children_;
};

}  // namespace kf::test
