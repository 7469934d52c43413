#pragma once
// One download of the downloads window: the address, its file on its way into the download folder,
// the transfer that fetches it and what the window shows of it. Everything here runs on the window
// thread, except the three sink calls, which the transfer makes on its own thread while it runs.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "downloads/speed_meter.h"
#include "platform/http/file_transfer.h"
#include "platform/os/part_file.h"

namespace kf::downloads {

enum class DownloadState { Running, Finished, Failed, Cancelled };

class Download final : private http::FileSink {
 public:
  // Nothing starts before start(). The transfer reports through `post` on the window thread.
  Download(std::string address, std::string folder, PostToWindow post);
  // Stops a running transfer; a file that is not finished goes with its part file.
  ~Download();
  Download(const Download &) = delete;
  Download &operator=(const Download &) = delete;

  // Starts the transfer; again after a failure it goes on from the bytes the part file holds.
  void start();
  // Stops a running transfer and removes its part file; a file that is whole already stays, and the
  // download finishes.
  void cancel();

  DownloadState state() const { return state_; }
  const std::string &address() const { return address_; }
  const std::string &folder() const { return folder_; }
  // The file's name (UTF-8, as on the disk): the one the address suggests until the answer names
  // it, the saved file's once finished.
  std::string name() const;
  // The saved file, once finished.
  const std::string &path() const { return path_; }
  std::uint64_t bytes() const { return bytes_; }
  std::optional<std::uint64_t> size() const { return size_; }
  std::optional<double> bytesPerSecond() const { return speed_.bytesPerSecond(); }
  // What the answer said the file is, and the file's first bytes (at most kKindBytes), once finished.
  const std::string &contentType() const { return contentType_; }
  const std::string &firstBytes() const { return firstBytes_; }
  // Why it failed (Windows-1252), and whether trying again can help.
  const std::string &problem() const { return problem_; }
  bool retryable() const { return retryable_; }

  // Runs on the window thread at every progress report and every change of state.
  std::function<void()> onChange;

 private:
  void begin(const http::FileAnswer &answer) override;
  void write(std::string_view bytes) override;
  void end() override;

  void progressed(const http::FileProgress &progress);
  void ended(const http::FileOutcome &outcome);
  void changed();

  std::string address_;
  std::string folder_;
  PostToWindow post_;
  DownloadState state_ = DownloadState::Running;
  std::uint64_t bytes_ = 0;
  std::optional<std::uint64_t> size_;
  SpeedMeter speed_;
  std::string problem_;
  bool retryable_ = true;
  std::string path_;

  // The name is read on the window thread while the transfer's thread may set it.
  mutable std::mutex nameMutex_;
  std::string name_;
  // The transfer's thread owns these while it runs; the window thread after its end.
  std::unique_ptr<files::PartFile> part_;
  std::string validator_;
  std::string contentType_;
  std::string firstBytes_;
  std::unique_ptr<http::FileTransfer> transfer_;
};

}  // namespace kf::downloads
