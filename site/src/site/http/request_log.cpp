#include "site/http/request_log.h"

#include <ctime>
#include <iomanip>
#include <stdexcept>

namespace kf::site {
namespace {

// Request text is the client's: control characters must not break the log's lines.
std::string printable(const std::string &text) {
  std::string out = text;
  for (char &c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return out;
}

}  // namespace

void RequestLog::writeTo(const std::filesystem::path &file) {
  std::lock_guard lock(mutex_);
  file_.open(file, std::ios::app);
  if (!file_) throw std::runtime_error("Die Protokolldatei " + file.string() + " kann nicht geöffnet werden.");
}

void RequestLog::add(LogEntry entry) {
  std::lock_guard lock(mutex_);
  if (file_.is_open()) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    file_ << std::put_time(&local, "%F %T") << '\t' << printable(entry.method) << '\t' << printable(entry.target)
          << "\tHost: " << printable(entry.host) << "\tUser-Agent: " << printable(entry.userAgent) << std::endl;
  }
  entries_.push_back(std::move(entry));
}

std::vector<LogEntry> RequestLog::entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

void RequestLog::clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

}  // namespace kf::site
