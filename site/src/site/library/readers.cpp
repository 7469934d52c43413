#include "site/library/readers.h"

namespace kf::site::library {

Readers::Lent::Lent(Readers &lender) : readers(lender) {
  {
    std::unique_lock lock(readers.mutex_);
    const bool free = readers.freed_.wait_for(
        lock, readers.limits_.wait, [this] { return !readers.idle_.empty() || readers.open_ < readers.limits_.most; });
    if (!free) throw CatalogueBusy("Der Katalog ist gerade ausgelastet.");
    if (readers.idle_.empty()) {
      ++readers.open_;
    } else {
      store = std::move(readers.idle_.back());
      readers.idle_.pop_back();
    }
  }
  if (store) return;
  try {
    store = std::make_unique<Store>(readers.database_);
  } catch (...) {
    std::lock_guard lock(readers.mutex_);
    --readers.open_;
    readers.freed_.notify_one();
    throw;
  }
}

Readers::Lent::~Lent() {
  store->connection().interruptAt(std::nullopt);
  {
    std::lock_guard lock(readers.mutex_);
    readers.idle_.push_back(std::move(store));
  }
  readers.freed_.notify_one();
}

}  // namespace kf::site::library
