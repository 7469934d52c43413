#include "site/library/store.h"

#include <system_error>

#include "site/library/search_folding.h"
#include "site/library/video_id.h"
#include "site/library/video_text.h"

namespace kf::site::library {
namespace {

// Who wrote the file and in which layout: another program's database or an older layout is moved
// aside, never read as ours.
constexpr int kApplicationId = 0x4B6C6670;
constexpr int kSchemaVersion = 2;

constexpr const char *kSchema = R"(
PRAGMA journal_mode = WAL;
BEGIN;
CREATE TABLE videos (
  id TEXT NOT NULL UNIQUE COLLATE NOCASE,
  path BLOB NOT NULL UNIQUE,
  size INTEGER NOT NULL,
  mtime INTEGER NOT NULL,
  title TEXT NOT NULL,
  description TEXT NOT NULL,
  seconds INTEGER NOT NULL,
  play_way TEXT NOT NULL,
  cannot_play TEXT NOT NULL,
  readable INTEGER NOT NULL
);
CREATE INDEX videos_by_time ON videos (mtime);
CREATE TABLE folder (device INTEGER NOT NULL, inode INTEGER NOT NULL, path BLOB NOT NULL);
CREATE VIRTUAL TABLE words USING fts5 (title, description, folders, tokenize = 'unicode61 remove_diacritics 2',
                                       prefix = '2 3');
COMMIT;
)";

constexpr const char *kColumns =
    "v.id, v.path, v.size, v.mtime, v.title, v.description, v.seconds, v.play_way, v.cannot_play, v.readable";

Row rowFrom(const Statement &s) {
  return {s.text(0), s.text(1),    s.integer(2), s.integer(3), s.text(4),
          s.text(5), s.integer(6), s.text(7),    s.text(8),    s.integer(9) != 0};
}

std::int64_t single(Connection &db, std::string_view sql) {
  Statement s = db.prepare(sql);
  return s.step() ? s.integer(0) : 0;
}

// Why an existing file cannot be used as it is; empty when it can.
std::string problemOf(const std::filesystem::path &file) {
  try {
    Connection db(file);
    const auto application = single(db, "PRAGMA application_id");
    const auto version = single(db, "PRAGMA user_version");
    const bool empty = single(db, "SELECT count(*) FROM sqlite_schema") == 0;
    if (empty && application == 0 && version == 0) return {};
    if (application != kApplicationId || version != kSchemaVersion) {
      return "sie ist kein Katalog dieser Version (Kennung " + std::to_string(application) + ", Version " +
             std::to_string(version) + ")";
    }
    Statement check = db.prepare("PRAGMA quick_check");
    if (!check.step() || check.text(0) != "ok") return "sie ist beschädigt (" + check.text(0) + ")";
    return {};
  } catch (const DatabaseError &e) {
    return std::string("sie ist beschädigt (") + e.what() + ")";
  }
}

std::vector<std::int64_t> rowidsOf(Statement &s) {
  std::vector<std::int64_t> rowids;
  while (s.step()) rowids.push_back(s.integer(0));
  return rowids;
}

std::optional<FolderRecord> recordedFolder(Connection &db) {
  Statement s = db.prepare("SELECT device, inode, path FROM folder");
  return s.step() ? std::optional<FolderRecord>({s.integer(0), s.integer(1), s.text(2)}) : std::nullopt;
}

}  // namespace

void Store::prepare(const std::filesystem::path &file, const std::function<void(const std::string &)> &log,
                    const std::optional<FolderRecord> &folder) {
  std::error_code error;
  if (std::filesystem::exists(file, error)) {
    const std::string problem = problemOf(file);
    if (!problem.empty()) {
      const std::filesystem::path aside = file.string() + ".alt";
      std::filesystem::rename(file, aside, error);
      if (error)
        throw DatabaseError("Die Datenbank " + file.string() + " lässt sich nicht beiseitelegen: " + error.message(),
                            SQLITE_CANTOPEN);
      for (const char *companion : {"-wal", "-shm"}) std::filesystem::remove(file.string() + companion, error);
      log("Die Datenbank " + file.string() + " ist nicht zu gebrauchen: " + problem + ". Sie liegt jetzt unter " +
          aside.string() + ", der Katalog wird neu aufgebaut.");
    }
  }
  Connection db(file);
  if (single(db, "SELECT count(*) FROM sqlite_schema") == 0) {
    db.run(kSchema);
    db.run("PRAGMA application_id = " + std::to_string(kApplicationId) +
           "; PRAGMA user_version = " + std::to_string(kSchemaVersion));
  }
  db.run("PRAGMA journal_mode = WAL");
  // A catalogue made before it recorded its folder gets the record now.
  db.run("CREATE TABLE IF NOT EXISTS folder (device INTEGER NOT NULL, inode INTEGER NOT NULL, path BLOB NOT NULL)");
  if (!folder) return;
  if (const std::optional<FolderRecord> recorded = recordedFolder(db)) {
    const bool sameFile = recorded->device == folder->device && recorded->inode == folder->inode;
    if (!sameFile && recorded->path != folder->path) throw OtherFolder(recorded->path);
    if (sameFile && recorded->path == folder->path) return;
  }
  Transaction transaction(db);
  db.run("DELETE FROM folder");
  db.prepare("INSERT INTO folder (device, inode, path) VALUES (?1, ?2, ?3)")
      .bind(1, folder->device)
      .bind(2, folder->inode)
      .bindBlob(3, folder->path)
      .step();
  transaction.commit();
}

std::optional<Row> Store::find(std::string_view id) {
  Statement s = db_.prepare(std::string("SELECT ") + kColumns + " FROM videos v WHERE v.id = ?1");
  s.bind(1, id);
  return s.step() ? std::optional<Row>(rowFrom(s)) : std::nullopt;
}

std::vector<std::int64_t> Store::matching(const std::string &matchExpression) {
  Statement s = db_.prepare("SELECT rowid FROM words WHERE words MATCH ?1 ORDER BY rowid");
  s.bind(1, matchExpression);
  return rowidsOf(s);
}

std::vector<std::int64_t> Store::all() {
  Statement s = db_.prepare("SELECT rowid FROM videos ORDER BY rowid");
  return rowidsOf(s);
}

std::vector<Row> Store::rows(const std::vector<std::int64_t> &rowids) {
  Statement s = db_.prepare(std::string("SELECT ") + kColumns + " FROM videos v WHERE v.rowid = ?1");
  std::vector<Row> out;
  for (const std::int64_t rowid : rowids) {
    s.reset();
    s.bind(1, rowid);
    if (s.step()) out.push_back(rowFrom(s));
  }
  return out;
}

std::vector<Store::Words> Store::titles() {
  Statement s = db_.prepare("SELECT rowid, title, folders FROM words");
  std::vector<Words> out;
  while (s.step()) out.push_back({s.integer(0), s.text(1), s.text(2)});
  return out;
}

std::vector<Row> Store::newest(std::size_t count) {
  Statement s = db_.prepare(std::string("SELECT ") + kColumns + " FROM videos v ORDER BY v.mtime DESC LIMIT ?1");
  s.bind(1, static_cast<std::int64_t>(count));
  std::vector<Row> rows;
  while (s.step()) rows.push_back(rowFrom(s));
  return rows;
}

std::size_t Store::count() {
  return static_cast<std::size_t>(single(db_, "SELECT count(*) FROM videos"));
}

std::size_t Store::unreadable() {
  return static_cast<std::size_t>(single(db_, "SELECT count(*) FROM videos WHERE readable = 0"));
}

std::vector<std::pair<std::string, Stamp>> Store::stamps() {
  Statement s = db_.prepare("SELECT path, rowid, size, mtime, id FROM videos");
  std::vector<std::pair<std::string, Stamp>> out;
  while (s.step()) out.emplace_back(s.text(0), Stamp{s.integer(1), s.integer(2), s.integer(3), s.text(4)});
  return out;
}

Statement &Store::cached(const char *sql) {
  auto it = statements_.find(sql);
  if (it == statements_.end()) it = statements_.emplace(sql, db_.prepare(sql)).first;
  it->second.reset();
  return it->second;
}

std::string Store::put(const Row &row, const std::optional<Stamp> &existing) {
  std::int64_t rowid = 0;
  std::string id;
  if (existing) {
    Statement &s = cached(
        "UPDATE videos SET size = ?2, mtime = ?3, title = ?4, description = ?5, seconds = ?6, play_way = ?7, "
        "cannot_play = ?8, readable = ?9 WHERE rowid = ?1");
    s.bind(1, existing->rowid).bind(2, row.size).bind(3, row.mtime).bind(4, row.title).bind(5, row.description);
    s.bind(6, row.seconds).bind(7, row.playWay).bind(8, row.cannotPlay).bind(9, row.readable ? 1 : 0).step();
    rowid = existing->rowid;
    id = existing->id;
  } else {
    Statement &s = cached(
        "INSERT INTO videos (id, path, size, mtime, title, description, seconds, play_way, cannot_play, readable) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) ON CONFLICT (id) DO NOTHING RETURNING rowid");
    for (int attempt = 0; rowid == 0 && attempt < 100; ++attempt) {
      id = videoId(row.path, attempt);
      s.reset();
      s.bind(1, id).bindBlob(2, row.path).bind(3, row.size).bind(4, row.mtime).bind(5, row.title);
      s.bind(6, row.description).bind(7, row.seconds).bind(8, row.playWay).bind(9, row.cannotPlay);
      s.bind(10, row.readable ? 1 : 0);
      if (s.step()) rowid = s.integer(0);
      while (s.step()) {
      }
    }
    if (rowid == 0) throw DatabaseError("no free id for " + row.path, SQLITE_CONSTRAINT);
  }
  cached("DELETE FROM words WHERE rowid = ?1").bind(1, rowid).step();
  cached("INSERT INTO words (rowid, title, description, folders) VALUES (?1, ?2, ?3, ?4)")
      .bind(1, rowid)
      .bind(2, foldForSearch(row.title))
      .bind(3, foldForSearch(row.description))
      .bind(4, foldForSearch(folderNames(row.path)))
      .step();
  return id;
}

void Store::remove(std::int64_t rowid) {
  cached("DELETE FROM videos WHERE rowid = ?1").bind(1, rowid).step();
  cached("DELETE FROM words WHERE rowid = ?1").bind(1, rowid).step();
}

}  // namespace kf::site::library
