#pragma once
// Fetching one file into a sink on a thread of its own, so that the window showing it never waits on
// the network. A download that broke off goes on where its bytes end: the request asks for the rest
// with a Range, made safe by If-Range with the validator of the answer those bytes came from, so that
// a file that changed meanwhile comes whole instead of being patched together from two versions.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/base/post_to_window.h"
#include "platform/http/limits.h"

namespace kf::http {

struct FileRequest {
  std::string address;           // "http://host[:port]/path?query", encoded here
  std::uint64_t resumeFrom = 0;  // bytes already in hand; 0 asks for the whole file
  std::string validator;         // of the answer those bytes came from; without one nothing is resumed
};

// What the answer says about the file, known before its first byte is taken.
struct FileAnswer {
  std::uint64_t startsAt = 0;         // where the body belongs: 0 (the whole file) or resumeFrom
  std::optional<std::uint64_t> size;  // the whole file's size, when the answer tells it
  std::string validator;              // a strong ETag, else Last-Modified; empty when neither
  std::string disposition;            // the Content-Disposition value; empty when none
  std::string contentType;            // the Content-Type value as it came; empty when none
};

// Where the bytes go, on the transfer's thread: begin once, write for every piece, end when the
// body is whole. Each may raise kf::Error, which fails the transfer with its description.
class FileSink {
 public:
  virtual void begin(const FileAnswer &answer) = 0;
  virtual void write(std::string_view bytes) = 0;
  virtual void end() = 0;

 protected:
  ~FileSink() = default;
};

struct FileProgress {
  std::uint64_t bytes = 0;  // of the file in hand: those resumed from and those that came since
  std::optional<std::uint64_t> size;
  std::chrono::steady_clock::time_point at;
};

struct FileOutcome {
  bool complete = false;
  std::string problem;  // why not, for the user (Windows-1252)
  // False when the bytes in hand cannot be gone on from: the sink failed, the file is too large, or
  // the server answered with another part of the file than was asked for.
  bool bytesUsable = true;
  FileProgress progress;
};

class FileTransfer {
 public:
  using ProgressHandler = std::function<void(const FileProgress &)>;
  using EndHandler = std::function<void(const FileOutcome &)>;

  // Starts at once. `onProgress` runs on the window thread (through `post`) about four times a
  // second while the transfer runs, `onEnd` once when it has ended; neither runs after the transfer
  // was cancelled or destroyed. A file larger than limits.maxBodyBytes fails before the sink begins.
  FileTransfer(FileRequest request, FileSink &sink, ProgressHandler onProgress, EndHandler onEnd, PostToWindow post,
               const Limits &limits = limitsFor(TransferKind::File));
  ~FileTransfer();
  FileTransfer(const FileTransfer &) = delete;
  FileTransfer &operator=(const FileTransfer &) = delete;

  // From the window thread: stops the transfer and returns once the sink is left alone for good.
  // False when it came too late: the sink has ended, the file is whole, and `onEnd` still runs.
  bool cancel();

 private:
  struct Shared;
  void stop();
  void ended(const FileOutcome &outcome);

  std::shared_ptr<Shared> shared_;
  ProgressHandler onProgress_;
  EndHandler onEnd_;
  std::thread worker_;
};

}  // namespace kf::http
