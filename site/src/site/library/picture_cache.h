#pragma once
// Preview pictures of the library's videos: made by a worker process on their first request, at
// most two at a time, and kept in a folder beside the catalogue under a name that carries the
// file's size and time, so a changed file gets a new picture. A file without a usable frame gets
// the stand-in picture; a picture that cannot be kept (a full disk) is served all the same.
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "site/library/store.h"
#include "site/worker/worker.h"

namespace kf::site::library {

inline constexpr int kPictureWidth = 130;

class PictureCache {
 public:
  PictureCache(std::filesystem::path folder, std::filesystem::path workerProgram, std::string standIn,
               std::function<void(const std::string &)> log);

  // The picture of the video in `file`, whose row is `row`.
  std::string picture(const Row &row, const std::filesystem::path &file);
  // The picture made for a file of this size and time is no longer the file's.
  void forget(const Stamp &stamp);

 private:
  std::filesystem::path fileOf(const std::string &id, std::int64_t size, std::int64_t mtime) const;
  std::string make(const std::filesystem::path &file);
  void keep(const std::filesystem::path &target, const std::string &bytes);

  std::filesystem::path folder_;
  std::filesystem::path workerProgram_;
  std::string standIn_;
  std::function<void(const std::string &)> log_;

  std::mutex mutex_;
  std::condition_variable freed_;
  std::vector<std::unique_ptr<worker::Worker>> idle_;  // workers not making a picture right now
  bool toldFull_ = false;
};

}  // namespace kf::site::library
