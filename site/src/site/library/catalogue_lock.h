#pragma once
// One running site for a catalogue: a lock on a file beside it, held while the site runs, which
// names the site's process, folder and address for whoever finds it taken.
#include <filesystem>
#include <optional>
#include <string>

namespace kf::site::library {

class CatalogueLock {
 public:
  // Takes the lock for a site on `folder`, or throws LibraryError naming the site that holds it.
  CatalogueLock(const std::filesystem::path &database, const std::filesystem::path &folder);
  ~CatalogueLock();
  CatalogueLock(const CatalogueLock &) = delete;
  CatalogueLock &operator=(const CatalogueLock &) = delete;

  // The address the site answers on, for a launcher that finds it running.
  void announce(const std::string &address);

  // The address a running site on `database` announced; empty when none runs.
  static std::optional<std::string> runningAddress(const std::filesystem::path &database);

 private:
  int fd_ = -1;
  std::string folder_;
};

}  // namespace kf::site::library
