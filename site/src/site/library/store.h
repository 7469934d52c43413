#pragma once
// The library's catalogue on disk: one SQLite file (WAL) with a row per video and a full-text index
// of its folded title, description and the names of the folders it lies in. One Store is one
// connection, for one thread at a time.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "site/library/sqlite.h"

namespace kf::site::library {

struct Row {
  std::string id;
  std::string path;  // relative to the library, bytes as the file system has them
  std::int64_t size = 0;
  std::int64_t mtime = 0;  // nanoseconds
  std::string title;       // page-safe UTF-8
  std::string description;
  std::int64_t seconds = 0;
  std::string playWay;     // how the video window gets to see it, a word of worker/play_way.h
  std::string cannotPlay;  // why it cannot, in German
  bool readable = false;   // whether the container could be read
};

// What a rescan compares a file with.
struct Stamp {
  std::int64_t rowid = 0;
  std::int64_t size = 0;
  std::int64_t mtime = 0;
  std::string id;
};

// The folder a catalogue is of: the same folder has the same device and inode whatever path names
// it, or, made anew, the same path.
struct FolderRecord {
  std::int64_t device = 0;
  std::int64_t inode = 0;
  std::string path;
};

// The catalogue records another folder than the one it was prepared for.
class OtherFolder : public std::runtime_error {
 public:
  explicit OtherFolder(const std::string &recordedPath) : std::runtime_error(recordedPath) {}
  std::string recordedPath() const { return what(); }
};

class Store {
 public:
  // Makes `file` ready to use for `folder` (when given, recorded in it): creates it, or, when it
  // is damaged or not a catalogue of this version, moves it aside (`file` + ".alt") and makes a new
  // one, telling `log` so. Throws OtherFolder, having changed nothing, when it is the catalogue of
  // another folder, and DatabaseError when no catalogue can be made there at all.
  static void prepare(const std::filesystem::path &file, const std::function<void(const std::string &)> &log,
                      const std::optional<FolderRecord> &folder = std::nullopt);

  explicit Store(const std::filesystem::path &file) : db_(file) {}

  // Reading.
  std::optional<Row> find(std::string_view id);
  // The rows that match a full-text query, by rowid in rising order.
  std::vector<std::int64_t> matching(const std::string &matchExpression);
  // Every row's rowid, in rising order.
  std::vector<std::int64_t> all();
  // The rows of these rowids, in their order; a rowid without a row is left out.
  std::vector<Row> rows(const std::vector<std::int64_t> &rowids);
  // Every row's rowid, folded title and folded folder names.
  struct Words {
    std::int64_t rowid = 0;
    std::string title, folders;
  };
  std::vector<Words> titles();
  std::vector<Row> newest(std::size_t count);
  std::size_t count();
  std::size_t unreadable();

  // Writing, for the one scanner. A new path gets the first free id of its own.
  std::vector<std::pair<std::string, Stamp>> stamps();
  // Answers the row's id.
  std::string put(const Row &row, const std::optional<Stamp> &existing);
  void remove(std::int64_t rowid);
  Connection &connection() { return db_; }

 private:
  // Prepared once for this connection, reset for each use.
  Statement &cached(const char *sql);

  Connection db_;
  std::map<const char *, Statement> statements_;
};

}  // namespace kf::site::library
