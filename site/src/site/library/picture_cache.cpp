#include "site/library/picture_cache.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <thread>

namespace kf::site::library {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMakers = 2;
constexpr auto kMakeLimit = 10s;
// A request that finds both makers busy for this long gets the stand-in, and no picture is kept.
constexpr auto kWaitForMaker = 20s;
constexpr std::size_t kMaxPictureBytes = 1024 * 1024;
// Ends the name of every picture made the way pictures are made now (upright, a real frame of a
// stream that starts late); those made before are made anew.
constexpr std::string_view kMadeNow = "-2.jpg";

std::string readSmallFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string bytes(kMaxPictureBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace

PictureCache::PictureCache(std::filesystem::path folder, std::filesystem::path workerProgram, std::string standIn,
                           std::function<void(const std::string &)> log)
    : folder_(std::move(folder)),
      workerProgram_(std::move(workerProgram)),
      standIn_(std::move(standIn)),
      log_(std::move(log)) {
  for (std::size_t i = 0; i < kMakers; ++i) idle_.push_back(std::make_unique<worker::Worker>(workerProgram_));
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator(folder_, error); !error && it != std::filesystem::end(it);
       it.increment(error)) {
    std::error_code removal;
    if (!it->path().filename().string().ends_with(kMadeNow)) std::filesystem::remove(it->path(), removal);
  }
}

std::filesystem::path PictureCache::fileOf(const std::string &id, std::int64_t size, std::int64_t mtime) const {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "-%llx-%llx", static_cast<unsigned long long>(size),
                static_cast<unsigned long long>(mtime));
  return folder_ / (id + stamp + std::string(kMadeNow));
}

std::string PictureCache::picture(const Row &row, const std::filesystem::path &file) {
  const std::filesystem::path cached = fileOf(row.id, row.size, row.mtime);
  std::string bytes = readSmallFile(cached);
  if (!bytes.empty()) return bytes;

  std::unique_ptr<worker::Worker> worker;
  {
    std::unique_lock lock(mutex_);
    if (!freed_.wait_for(lock, kWaitForMaker, [this] { return !idle_.empty(); })) return standIn_;
    worker = std::move(idle_.back());
    idle_.pop_back();
  }
  const auto answer = worker->ask({"picture", file.string(), std::to_string(kPictureWidth),
                                   std::to_string(std::chrono::milliseconds(kMakeLimit * 4 / 5).count())},
                                  kMakeLimit);
  {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(worker));
  }
  freed_.notify_one();
  // A file that gives no picture, or ends its worker, keeps the stand-in until it changes.
  bytes = answer && answer->size() == 2 && (*answer)[0] == "ok" ? (*answer)[1] : standIn_;
  keep(cached, bytes);
  return bytes;
}

void PictureCache::keep(const std::filesystem::path &target, const std::string &bytes) {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  // Written beside its place and renamed, so a reader never meets half a picture.
  const std::filesystem::path part = target.string() + ".part" + std::to_string(::getpid()) + "-" +
                                     std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id()));
  bool kept = false;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    kept = out.good();
  }
  if (kept) std::filesystem::rename(part, target, error);
  if (!kept || error) {
    std::filesystem::remove(part, error);
    std::lock_guard lock(mutex_);
    if (!toldFull_)
      log_("Vorschaubilder lassen sich in " + folder_.string() + " nicht ablegen; sie werden ohne Ablage gezeigt.");
    toldFull_ = true;
  }
}

void PictureCache::forget(const Stamp &stamp) {
  std::error_code error;
  std::filesystem::remove(fileOf(stamp.id, stamp.size, stamp.mtime), error);
}

}  // namespace kf::site::library
