#pragma once
// The search box remembers: the last searches, newest first, each once, kept between runs in the
// data folder as suchen.kf, one search a line (Windows-1252, CR LF), saved whole or not at all.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kf::store {

class SearchHistory {
 public:
  static constexpr std::size_t kKept = 20;
  // Longer words are searched for but not kept.
  static constexpr std::size_t kLongestWords = 1000;

  // Reads DataDir/suchen.kf; a missing file is an empty history. Blank lines are skipped, and only
  // the first kKept searches are taken. A file that cannot be read or holds a line this program never
  // writes (a control character, words over kLongestWords) is moved aside like a damaged favourites
  // file, and the history starts empty; the answer is then the text that tells the user so.
  std::optional<std::string> load(const std::string &appDir);
  // Writes the history through a temporary file; throws SaveFailed. An empty history where there
  // was no file writes none.
  void save() const;

  // The words of a search go to the front, without blanks at their ends; a search kept already, also
  // in other letter case, moves there in its new spelling, and the oldest beyond kKept goes. Blank
  // words, and words that could not be written on a line of their own, are not kept.
  void add(const std::string &words);
  // Empties the history and saves it at once, so that the searches are gone from the disk too;
  // throws SaveFailed, the history emptied all the same.
  void clear();

  const std::vector<std::string> &entries() const { return entries_; }

  // After every change.
  std::function<void()> onChange;

 private:
  void changed();

  std::string path_;
  std::vector<std::string> entries_;
};

}  // namespace kf::store
