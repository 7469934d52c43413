#include "site/library/scanner.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "site/library/folder_walk.h"
#include "site/library/video_text.h"
#include "site/worker/play_way.h"
#include "site/worker/worker.h"

namespace kf::site::library {
namespace {

constexpr std::size_t kBatch = 32;  // files read between two commits
constexpr std::size_t kProbeThreads = 2;
constexpr std::size_t kSideTextBytes = 4 * kMaxDescriptionCharacters;

struct Work {
  FoundFile file;
  std::optional<Stamp> existing;
  std::optional<Row> row;  // empty: the file could not be opened
};

bool canOpen(const std::filesystem::path &file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// "Urlaub.mp4" has its words in "Urlaub.txt" beside it, if anywhere.
std::string sideText(const std::filesystem::path &root, const std::filesystem::path &video) {
  std::filesystem::path text = video;
  text.replace_extension(".txt");
  std::error_code error;
  if (!std::filesystem::is_regular_file(text, error) || !insideRoot(root, text)) return {};
  std::ifstream in(text, std::ios::binary);
  std::string bytes(kSideTextBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

Row read(worker::Worker &worker, const std::filesystem::path &root, const FoundFile &file,
         const std::atomic<bool> &stopping) {
  const std::filesystem::path full = root / file.relative;
  const std::string name = std::filesystem::path(file.relative).filename().string();
  Row row{{},
          file.relative,
          file.size,
          file.mtime,
          {},
          {},
          0,
          std::string(worker::play_way::kCannot),
          "FFmpeg kann die Datei nicht lesen.",
          false};
  // The worker gets a little less time than it is given, so that it can end the file itself.
  const auto answer =
      worker.ask({"probe", full.string(), std::to_string((kProbeLimit * 4 / 5).count())}, kProbeLimit, &stopping);
  const bool ok = answer && answer->size() == 7 && (*answer)[0] == "ok";
  std::string_view title, description, comment;
  if (ok) {
    title = (*answer)[1];
    description = (*answer)[2];
    comment = (*answer)[3];
    row.seconds = std::max(0LL, std::atoll((*answer)[4].c_str()) / 1000);
    row.playWay = (*answer)[5];
    row.cannotPlay = (*answer)[6];
    row.readable = true;
  }
  row.title = chooseTitle(title, name);
  row.description = chooseDescription(description, comment, sideText(root, full), file.relative);
  return row;
}

}  // namespace

ScanCounts Scanner::scan(const std::atomic<bool> &stopping) {
  Store store(database_);
  std::unordered_map<std::string, Stamp> known;
  for (auto &[path, stamp] : store.stamps()) known.emplace(std::move(path), std::move(stamp));

  ScanCounts counts;
  std::vector<Work> work;
  for (FoundFile &file : walkLibrary(root_, stopping)) {
    const auto it = known.find(file.relative);
    if (it != known.end()) {
      const bool same = it->second.size == file.size && it->second.mtime == file.mtime;
      if (same) {
        known.erase(it);
        continue;
      }
      work.push_back({std::move(file), it->second, std::nullopt});
      known.erase(it);
    } else {
      work.push_back({std::move(file), std::nullopt, std::nullopt});
    }
  }

  std::vector<std::unique_ptr<worker::Worker>> workers;
  for (std::size_t i = 0; i < kProbeThreads; ++i) workers.push_back(std::make_unique<worker::Worker>(workerProgram_));
  for (std::size_t first = 0; first < work.size() && !stopping; first += kBatch) {
    const std::size_t end = std::min(work.size(), first + kBatch);
    std::atomic<std::size_t> next{first};
    std::vector<std::thread> threads;
    threads.reserve(workers.size());
    for (auto &worker : workers) {
      threads.emplace_back([&, w = worker.get()] {
        for (std::size_t i = next++; i < end && !stopping; i = next++) {
          if (canOpen(root_ / work[i].file.relative)) work[i].row = read(*w, root_, work[i].file, stopping);
        }
      });
    }
    for (auto &thread : threads) thread.join();
    if (stopping) break;
    Transaction transaction(store.connection());
    for (std::size_t i = first; i < end; ++i) {
      if (work[i].existing) gone_(*work[i].existing);
      if (work[i].row) {
        store.put(*work[i].row, work[i].existing);
        ++counts.read;
      } else {
        if (work[i].existing) store.remove(work[i].existing->rowid);
        ++counts.unreadable;
      }
    }
    transaction.commit();
  }
  if (!stopping) {
    // What is left was not met on the walk: its file is gone.
    Transaction transaction(store.connection());
    for (const auto &[path, stamp] : known) {
      store.remove(stamp.rowid);
      gone_(stamp);
      ++counts.dropped;
    }
    transaction.commit();
  }
  counts.known = store.count();
  counts.withoutDetails = store.unreadable();
  return counts;
}

}  // namespace kf::site::library
