#include "site/library/sqlite.h"

namespace kf::site::library {
namespace {

[[noreturn]] void fail(sqlite3 *db, int code, std::string_view doing) {
  throw DatabaseError(std::string(doing) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code)), code);
}

}  // namespace

Connection::Connection(const std::filesystem::path &file) {
  const int code =
      sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close(db_);
    throw DatabaseError(file.string() + ": " + message, code);
  }
  sqlite3_extended_result_codes(db_, 1);
  // A scan writing while a page reads waits this long at most for its turn.
  sqlite3_busy_timeout(db_, 5000);
}

Connection::~Connection() {
  sqlite3_close_v2(db_);
}

void Connection::run(std::string_view sql) {
  char *message = nullptr;
  const int code = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message);
  if (code != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errstr(code);
    sqlite3_free(message);
    throw DatabaseError(text, code);
  }
}

void Connection::interruptAt(std::optional<std::chrono::steady_clock::time_point> deadline) {
  if (!deadline) return sqlite3_progress_handler(db_, 0, nullptr, nullptr);
  deadline_ = *deadline;
  // Asked every thousand steps of the statement's program, a few microseconds apart.
  sqlite3_progress_handler(
      db_, 1000,
      [](void *self) { return std::chrono::steady_clock::now() > static_cast<Connection *>(self)->deadline_ ? 1 : 0; },
      this);
}

Statement Connection::prepare(std::string_view sql) {
  return {db_, sql};
}

Statement::Statement(sqlite3 *db, std::string_view sql) : db_(db) {
  const int code = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (code != SQLITE_OK) fail(db_, code, "prepare");
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

Statement &Statement::bind(int index, std::int64_t value) {
  const int code = sqlite3_bind_int64(stmt_, index, value);
  if (code != SQLITE_OK) fail(db_, code, "bind");
  return *this;
}

Statement &Statement::bind(int index, std::string_view text) {
  const int code = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) fail(db_, code, "bind");
  return *this;
}

Statement &Statement::bindBlob(int index, std::string_view bytes) {
  const int code = sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) fail(db_, code, "bind");
  return *this;
}

bool Statement::step() {
  const int code = sqlite3_step(stmt_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  fail(db_, code, "step");
}

void Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::integer(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
  const auto *bytes = static_cast<const char *>(sqlite3_column_blob(stmt_, column));
  return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
}

Transaction::Transaction(Connection &connection) : connection_(connection) {
  connection_.run("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (open_) sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
  connection_.run("COMMIT");
  open_ = false;
}

}  // namespace kf::site::library
