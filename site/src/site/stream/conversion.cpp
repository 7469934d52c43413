#include "site/stream/conversion.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "site/worker/allowed_input.h"
#include "site/worker/play_way.h"

extern char **environ;

namespace kf::site::stream {
namespace {

namespace way = worker::play_way;

// Enough for a 4K picture decoded and a 1080p one encoded; a file that asks for more is hostile.
constexpr rlim_t kMemoryLimit = 2ULL << 30;
constexpr int kNiceness = 10;
constexpr std::size_t kComplaintBytes = 2000;
constexpr long long kCopyLead = 1000;
// At most 1920 pixels on the long side and 1080 on the short one, even sizes, 8-bit 4:2:0; interlaced
// frames (DVD, camcorders) woven into whole ones.
constexpr const char *kPictureFilters =
    "yadif=deint=interlaced,"
    "scale=w='trunc(min(iw,if(gte(iw,ih),1920,1080))/2)*2':h=-2,"
    "scale=w=-2:h='trunc(min(ih,if(gte(iw,ih),1080,1920))/2)*2',format=yuv420p";  // microseconds before a key frame, so
                                                                                  // that the cut keeps it
constexpr std::size_t kSegmentsPerRun = 400;

std::string seconds(long long microseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%06lld", microseconds / 1'000'000, microseconds % 1'000'000);
  return text;
}

// The segment muxer reads its file name as a pattern.
std::string pattern(const std::filesystem::path &folder) {
  std::string escaped;
  for (const char c : folder.string()) escaped += c == '%' ? std::string("%%") : std::string(1, c);
  return escaped + "/%d.ts";
}

std::string onPath(const std::string &program) {
  if (program.find('/') != std::string::npos) return program;
  const char *path = std::getenv("PATH");
  std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t from = 0; from <= folders.size();) {
    std::size_t to = folders.find(':', from);
    if (to == std::string::npos) to = folders.size();
    std::string candidate = folders.substr(from, to - from) + "/" + program;
    if (to > from && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    from = to + 1;
  }
  return {};
}

void closeFd(int &fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Appends what is there to `into`; false once the other end has closed.
bool drain(int fd, std::string &into) {
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got > 0) {
      into.append(chunk, static_cast<std::size_t>(got));
      continue;
    }
    return got < 0 && (errno == EAGAIN || errno == EINTR);
  }
}

}  // namespace

std::size_t runEnd(const Plan &plan, std::size_t first) {
  return std::min(plan.count(), first + kSegmentsPerRun);
}

std::vector<std::string> conversionArguments(const Plan &plan, std::size_t first, const std::string &input,
                                             const std::filesystem::path &folder) {
  const std::size_t last = runEnd(plan, first);
  const bool copy = plan.copiesPicture();
  // A copy starts just before its key frame: FFmpeg then begins at that very frame.
  const auto cutAt = [&](std::size_t segment) {
    return copy && segment > 0 ? plan.starts[segment] - kCopyLead : plan.starts[segment];
  };
  const long long from = cutAt(first);
  std::vector<std::string> args = {"-nostdin",
                                   "-hide_banner",
                                   "-nostats",
                                   "-loglevel",
                                   "error",
                                   "-threads",
                                   "2",
                                   "-protocol_whitelist",
                                   worker::kAllowedProtocols,
                                   "-format_whitelist",
                                   worker::kAllowedFormats,
                                   "-ss",
                                   seconds(from),
                                   "-i",
                                   "file:" + input,
                                   "-map",
                                   "0:V:0",
                                   "-map",
                                   "0:a:0?",
                                   "-sn",
                                   "-dn"};
  if (copy) {
    args.insert(args.end(), {"-c:v", "copy"});
  } else {
    args.insert(args.end(),
                {"-vf", kPictureFilters, "-c:v", "libx264", "-preset", "ultrafast", "-crf", "23", "-threads", "2",
                 // Each segment begins with a key frame; runs begin on a segment.
                 "-force_key_frames", "expr:gte(t,n_forced*" + seconds(kConvertedSegment) + ")"});
  }
  if (plan.way == way::kContainer) {
    args.insert(args.end(), {"-c:a", "copy"});
  } else {
    args.insert(args.end(), {"-c:a", "aac", "-b:a", "160k", "-ac", "2", "-ar", "48000"});
  }
  if (last < plan.count()) args.insert(args.end(), {"-t", seconds(cutAt(last) - from)});
  std::string times;
  for (std::size_t segment = first + 1; segment < last; ++segment) {
    times += (times.empty() ? "" : ",") + seconds(cutAt(segment));
  }
  // Every run stamps its segments with the file's own times, so that they follow each other.
  args.insert(args.end(), {"-output_ts_offset", seconds(from), "-f", "segment", "-segment_format", "mpegts"});
  if (!times.empty()) args.insert(args.end(), {"-segment_times", times});
  args.insert(args.end(), {"-segment_start_number", std::to_string(first), "-segment_list", "pipe:1",
                           "-segment_list_type", "csv", pattern(folder)});
  return args;
}

std::unique_ptr<Conversion> Conversion::start(const std::string &program, const std::vector<std::string> &arguments) {
  const std::string path = onPath(program);
  if (path.empty()) return nullptr;
  std::vector<std::string> owned = {path};
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char *> argv;
  argv.reserve(owned.size() + 1);
  for (std::string &argument : owned) argv.push_back(argument.data());
  argv.push_back(nullptr);

  int output[2], errors[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return nullptr;
  if (::pipe2(errors, O_CLOEXEC) != 0) {
    ::close(output[0]);
    ::close(output[1]);
    return nullptr;
  }
  const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  const pid_t parent = ::getpid();
  const pid_t pid = nothing < 0 ? -1 : ::fork();
  if (pid == 0) {
    // Only calls that are safe between fork and exec in a program with threads.
    sigset_t none;
    sigemptyset(&none);
    pthread_sigmask(SIG_SETMASK, &none, nullptr);
    // It ends with the site. The signal comes when the thread that started it ends, and the site's
    // request threads last as long as the site.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    const rlimit memory{kMemoryLimit, kMemoryLimit};
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_AS, &memory);
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setpriority(PRIO_PROCESS, 0, kNiceness);
    ::dup2(nothing, STDIN_FILENO);
    ::dup2(output[1], STDOUT_FILENO);
    ::dup2(errors[1], STDERR_FILENO);
    ::close_range(3, ~0U, 0);
    ::execve(argv[0], argv.data(), environ);
    ::_exit(127);
  }
  if (nothing >= 0) ::close(nothing);
  ::close(output[1]);
  ::close(errors[1]);
  if (pid < 0) {
    ::close(output[0]);
    ::close(errors[0]);
    return nullptr;
  }
  for (const int fd : {output[0], errors[0]}) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  return std::unique_ptr<Conversion>(new Conversion(pid, output[0], errors[0]));
}

Conversion::~Conversion() {
  end();
}

std::vector<std::size_t> Conversion::finished() {
  if (errors_ >= 0 && !drain(errors_, complaint_)) closeFd(errors_);
  if (complaint_.size() > kComplaintBytes) complaint_.erase(0, complaint_.size() - kComplaintBytes);
  if (output_ >= 0 && !drain(output_, lines_)) closeFd(output_);
  std::vector<std::size_t> done;
  for (std::size_t end = lines_.find('\n'); end != std::string::npos; end = lines_.find('\n')) {
    const std::string line = lines_.substr(0, end);
    lines_.erase(0, end + 1);
    // "N.ts,START,END"
    char *rest = nullptr;
    const unsigned long number = std::strtoul(line.c_str(), &rest, 10);
    if (rest != line.c_str() && std::string_view(rest).starts_with(".ts,")) done.push_back(number);
  }
  return done;
}

std::optional<bool> Conversion::ended() {
  if (result_ || output_ >= 0 || errors_ >= 0) return result_;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) != pid_) return std::nullopt;
  pid_ = -1;
  result_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result_;
}

void Conversion::pause() {
  if (!paused_ && pid_ > 0) ::kill(pid_, SIGSTOP);
  paused_ = true;
}

void Conversion::resume() {
  if (paused_ && pid_ > 0) ::kill(pid_, SIGCONT);
  paused_ = false;
}

void Conversion::end() {
  closeFd(output_);
  closeFd(errors_);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
}

}  // namespace kf::site::stream
