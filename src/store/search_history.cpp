#include "store/search_history.h"

#include <algorithm>
#include <optional>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"
#include "store/save_failure.h"
#include "store/unreadable_file.h"

namespace kf::store {
namespace {

// Far more than kKept lines of the longest words: a larger file is no history of this program's.
constexpr std::size_t kMostBytes = 64 * 1024;

bool isWritable(std::string_view words) {
  return words.size() <= SearchHistory::kLongestWords &&
         std::ranges::none_of(words, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool sameSearch(std::string_view a, std::string_view b) {
  return a.size() == b.size() && text::lower(a) == text::lower(b);
}

// The searches of the file, or nothing when it holds a line this program would not have written.
std::optional<std::vector<std::string>> readHistory(const std::string &path) {
  files::LineReader reader(path, {.mostBytes = kMostBytes, .longestLine = SearchHistory::kLongestWords + 1});
  std::vector<std::string> searches;
  while (!reader.atEnd() && searches.size() < SearchHistory::kKept) {
    const std::string line = reader.readLine();
    if (!isWritable(line)) return std::nullopt;
    const std::string words = text::trimBlanks(line);
    if (words.empty()) continue;
    if (std::ranges::none_of(searches, [&](const std::string &kept) { return sameSearch(kept, words); })) {
      searches.push_back(words);
    }
  }
  return searches;
}

}  // namespace

std::optional<std::string> SearchHistory::load(const std::string &appDir) {
  path_ = files::join(files::join(appDir, "dat"), "suchen.kf");
  entries_.clear();
  std::optional<std::string> notice;
  if (files::fileExists(path_)) {
    std::optional<std::vector<std::string>> read;
    try {
      read = readHistory(path_);
    } catch (const Error &) {
      // Unreadable part way: the file is set aside below like a damaged one.
    }
    if (read) {
      entries_ = std::move(*read);
    } else {
      notice = moveAside(path_, text::cp1252(u8"Die früheren Suchen"),
                         text::cp1252(u8"Klipfang beginnt mit einem leeren Suchverlauf."));
    }
  }
  changed();
  return notice;
}

void SearchHistory::save() const {
  // A folder that never had a history gets no empty file.
  if (path_.empty() || (entries_.empty() && !files::fileExists(path_))) return;
  try {
    files::saveLinesAtomically(path_, entries_);
  } catch (const Error &error) {
    throw SaveFailed(text::cp1252(u8"Die früheren Suchen"), error);
  }
}

void SearchHistory::add(const std::string &words) {
  const std::string kept = text::trimBlanks(words);
  if (kept.empty() || !isWritable(kept)) return;
  std::erase_if(entries_, [&](const std::string &entry) { return sameSearch(entry, kept); });
  entries_.insert(entries_.begin(), kept);
  if (entries_.size() > kKept) entries_.resize(kKept);
  changed();
}

void SearchHistory::clear() {
  entries_.clear();
  changed();
  save();
}

void SearchHistory::changed() {
  if (onChange) onChange();
}

}  // namespace kf::store
