#pragma once
// The FFmpeg work on the user's files runs in a worker process of its own (klipfang-site started with
// --probe-worker): a file that crashes a demuxer, or makes it hang or eat memory, ends that worker
// only; the site notes the file as unreadable and starts a new worker for the next one.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kf::site::worker {

using Message = std::vector<std::string>;

// The argument that makes klipfang-site a worker.
inline constexpr const char *kWorkerArgument = "--probe-worker";

class Worker {
 public:
  explicit Worker(std::filesystem::path program) : program_(std::move(program)) {}
  ~Worker();
  Worker(const Worker &) = delete;
  Worker &operator=(const Worker &) = delete;

  // Sends a request and waits at most `limit` for the answer, starting a worker first when none
  // runs. Empty when none came (or `stopping` was set): the worker is then ended.
  std::optional<Message> ask(const Message &request, std::chrono::milliseconds limit,
                             const std::atomic<bool> *stopping = nullptr);
  // Ends the worker, if one runs.
  void end();

 private:
  bool start();

  std::filesystem::path program_;
  pid_t pid_ = -1;
  int fd_ = -1;
};

// Requests and answers on the wire: a count line, then each field as a length line and its bytes.
std::string encodeMessage(const Message &message);
// Writes all of `bytes` to the socket; false when it is closed.
bool sendAll(int fd, const std::string &bytes);
// A whole message from the front of `buffer` (taken out of it); empty while more must come, and
// `bad` is set when the bytes cannot be a message.
std::optional<Message> decodeMessage(std::string &buffer, bool &bad);

}  // namespace kf::site::worker
