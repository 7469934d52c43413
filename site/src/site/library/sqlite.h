#pragma once
// A thin hold on SQLite: a connection and its prepared statements that close themselves, and
// every failure as an exception that carries SQLite's own words.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kf::site::library {

class DatabaseError : public std::runtime_error {
 public:
  DatabaseError(const std::string &what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class Statement;

class Connection {
 public:
  explicit Connection(const std::filesystem::path &file);
  ~Connection();
  Connection(const Connection &) = delete;
  Connection &operator=(const Connection &) = delete;

  void run(std::string_view sql);
  Statement prepare(std::string_view sql);
  sqlite3 *handle() const { return db_; }

  // Statements running past `deadline` are interrupted: they fail with SQLITE_INTERRUPT. Empty: no
  // deadline.
  void interruptAt(std::optional<std::chrono::steady_clock::time_point> deadline);

 private:
  sqlite3 *db_ = nullptr;
  std::chrono::steady_clock::time_point deadline_;
};

class Statement {
 public:
  Statement(sqlite3 *db, std::string_view sql);
  ~Statement();
  Statement(Statement &&other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }
  Statement(const Statement &) = delete;
  Statement &operator=(const Statement &) = delete;

  Statement &bind(int index, std::int64_t value);
  Statement &bind(int index, std::string_view text);
  Statement &bindBlob(int index, std::string_view bytes);
  // True while a row is there to read.
  bool step();
  void reset();

  std::int64_t integer(int column) const;
  std::string text(int column) const;

 private:
  sqlite3 *db_;
  sqlite3_stmt *stmt_ = nullptr;
};

// Runs the statements in between as one transaction; what is not committed is rolled back.
class Transaction {
 public:
  explicit Transaction(Connection &connection);
  ~Transaction();
  Transaction(const Transaction &) = delete;
  Transaction &operator=(const Transaction &) = delete;
  void commit();

 private:
  Connection &connection_;
  bool open_ = true;
};

}  // namespace kf::site::library
