#pragma once
// The file system as the program uses it: its own folder, folder tests, 8-bit text files read by line
// and written whole, and raw byte files. Failures raise kf::Error with a German description.
#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kf::files {

// The folder of the running executable, without a trailing slash.
std::string appDir();

// Joins a folder and a name with exactly one '/'.
std::string join(std::string_view folder, std::string_view name);

bool folderExists(const std::string &path);
bool fileExists(const std::string &path);
void createFolder(const std::string &path);

// How much of a text file a reader takes: files from outside may be of any size, and a reader never
// needs more than it uses.
struct ReadLimits {
  static constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
  std::size_t mostLines = kAll;    // the file is read as if it ended after these lines
  std::size_t mostBytes = kAll;    // ... or after these bytes
  std::size_t longestLine = kAll;  // a longer line is cut to this many bytes; the rest is skipped unkept
};

// Reads a text file line by line as it goes, keeping only the line in hand; a line comes without its
// CR LF or LF.
class LineReader {
 public:
  explicit LineReader(const std::string &path, ReadLimits limits = {});
  ~LineReader();
  LineReader(const LineReader &) = delete;
  LineReader &operator=(const LineReader &) = delete;

  bool atEnd();
  // Reading past the last line is an error, as callers rely on it to stop at a short file.
  std::string readLine();

 private:
  bool fill();

  std::string path_;
  ReadLimits limits_;
  int fd_;
  // Not cleared when made: only what read() filled is ever looked at.
  std::unique_ptr<char[]> buffer_;
  std::size_t next_ = 0;
  std::size_t filled_ = 0;
  std::size_t bytesRead_ = 0;
  std::size_t linesRead_ = 0;
};

std::vector<std::string> readLines(const std::string &path, ReadLimits limits = {});

// Writes every line followed by CR LF through a temporary file in the same folder, flushed, synced
// and renamed over the old file: the old file stays untouched unless the new one is complete. The
// new file keeps the old one's mode and, where the process may, its owner. A symbolic link is
// followed: the file it points to is replaced in its own folder, and the link stays.
void saveLinesAtomically(const std::string &path, const std::vector<std::string> &lines);

// Moves the file at `path` to `name`, or to `name`.1, `name`.2, ... whichever is free, never over an
// existing file; answers the name it now has.
std::string moveAside(const std::string &path, const std::string &name);

// Replaces the file with exactly these bytes.
void writeBytes(const std::string &path, std::string_view bytes);

}  // namespace kf::files
