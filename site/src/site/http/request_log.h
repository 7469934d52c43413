#pragma once
// Every request the site received, in arrival order, for tests to read and, when a log file is
// given, written there one line per request.
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace kf::site {

struct LogEntry {
  std::string method;
  std::string target;
  std::string host;
  std::string userAgent;
};

class RequestLog {
 public:
  // Appends to the file from now on; throws std::runtime_error when it cannot be opened.
  void writeTo(const std::filesystem::path &file);

  void add(LogEntry entry);
  std::vector<LogEntry> entries() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<LogEntry> entries_;
  std::ofstream file_;
};

}  // namespace kf::site
