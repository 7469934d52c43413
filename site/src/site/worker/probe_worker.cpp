#include "site/worker/probe_worker.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cerrno>

#include "site/worker/key_frames.h"
#include "site/worker/media_probe.h"
#include "site/worker/worker.h"

namespace kf::site::worker {
namespace {

constexpr rlim_t kMostAddressSpace = rlim_t{1} << 30;

Message answer(const Message &request) {
  using std::chrono::milliseconds;
  if (request.size() == 3 && request[0] == "probe") {
    const auto probe = probeFile(request[1], milliseconds(std::stoll(request[2])));
    if (!probe) return {"unreadable"};
    return {"ok",           probe->title,     probe->description, probe->comment, std::to_string(probe->milliseconds),
            probe->playWay, probe->cannotPlay};
  }
  if (request.size() == 4 && request[0] == "keys") {
    const auto keys = readKeyFrames(request[1], request[2] == "1", milliseconds(std::stoll(request[3])));
    if (!keys) return {"unreadable"};
    std::string times;
    for (const long long key : keys->microseconds) times += std::to_string(key) + " ";
    return {"ok", std::to_string(keys->durationMicroseconds), times};
  }
  if (request.size() == 4 && request[0] == "picture") {
    const auto jpeg = previewPicture(request[1], std::stoi(request[2]), milliseconds(std::stoll(request[3])));
    return jpeg ? Message{"ok", *jpeg} : Message{"none"};
  }
  return {"?"};
}

// A file that makes a demuxer or decoder eat memory ends this worker, and no other process: the
// worker may hold 1 GiB of address space at most (the libraries take 190 MB of it), and the system
// ends it first when memory runs out. The sanitizers' shadow memory needs terabytes of addresses.
void limitMemory() {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  const rlimit most{kMostAddressSpace, kMostAddressSpace};
  ::setrlimit(RLIMIT_AS, &most);
#endif
  const int fd = ::open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC);
  if (fd >= 0) {
    [[maybe_unused]] const ssize_t written = ::write(fd, "1000", 4);
    ::close(fd);
  }
}

}  // namespace

int runWorker() {
  limitMemory();
  av_log_set_level(AV_LOG_QUIET);
  std::string buffer;
  char chunk[65536];
  for (;;) {
    bool bad = false;
    if (auto request = decodeMessage(buffer, bad)) {
      Message reply;
      try {
        reply = answer(*request);
      } catch (const std::exception &) {
        reply = {"?"};
      }
      if (!sendAll(STDOUT_FILENO, encodeMessage(reply))) return 1;
      continue;
    }
    if (bad) return 1;
    const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return 0;
    buffer.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace kf::site::worker
