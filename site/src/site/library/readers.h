#pragma once
// Connections to the catalogue for the pages, one for each request in flight, up to a few. A
// request waits only so long for one, and its queries may run only so long: past either, the
// catalogue answers that it is busy (CatalogueBusy), and the pages ask the client to come back.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "site/catalogue/video_catalogue.h"
#include "site/library/store.h"

namespace kf::site::library {

struct ReaderLimits {
  std::size_t most = 2;                                                    // connections open at once
  std::chrono::milliseconds wait{2000};                                    // for a free one
  std::chrono::milliseconds queryTime = std::chrono::milliseconds::max();  // for the work done on one
};

class Readers {
 public:
  Readers(std::filesystem::path database, ReaderLimits limits) : database_(std::move(database)), limits_(limits) {}

  // Runs `work` on a connection of its own and answers what it answers; throws CatalogueBusy.
  template <typename Work>
  auto with(Work work) {
    Lent lent(*this);
    if (limits_.queryTime == std::chrono::milliseconds::max()) return work(*lent.store);
    lent.store->connection().interruptAt(std::chrono::steady_clock::now() + limits_.queryTime);
    try {
      return work(*lent.store);
    } catch (const DatabaseError &e) {
      if ((e.code() & 0xFF) != SQLITE_INTERRUPT) throw;
      throw CatalogueBusy("Die Suche dauerte zu lange.");
    }
  }

 private:
  // A connection taken from the idle ones, or opened, and given back when it goes.
  struct Lent {
    explicit Lent(Readers &lender);
    ~Lent();
    Lent(const Lent &) = delete;
    Lent &operator=(const Lent &) = delete;
    Readers &readers;
    std::unique_ptr<Store> store;
  };

  const std::filesystem::path database_;
  const ReaderLimits limits_;
  std::mutex mutex_;
  std::condition_variable freed_;
  std::vector<std::unique_ptr<Store>> idle_;
  std::size_t open_ = 0;
};

}  // namespace kf::site::library
