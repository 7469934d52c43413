#pragma once
// The file system as the program uses it: its own folder, folder tests, 8-bit text files read by line
// and written whole, and raw byte files. Failures raise kf::Error with a German description.
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
void removeFile(const std::string &path);

// Reads a text file line by line; a line comes without its CR LF or LF.
class LineReader {
 public:
  explicit LineReader(const std::string &path);
  bool atEnd() const { return next_ >= lines_.size(); }
  // Reading past the last line is an error, as callers rely on it to stop at a short file.
  std::string readLine();

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

std::vector<std::string> readLines(const std::string &path);
std::string readBytes(const std::string &path);

// Writes every line followed by CR LF, replacing the file. Not atomic: for files the program
// regenerates (watch pages), where a half-written file costs nothing.
void writeLines(const std::string &path, const std::vector<std::string> &lines);

// Writes every line followed by CR LF through a temporary file in the same folder, flushed, synced
// and renamed over the old file: the old file stays untouched unless the new one is complete.
void saveLinesAtomically(const std::string &path, const std::vector<std::string> &lines);

// Replaces the file with exactly these bytes.
void writeBytes(const std::string &path, std::string_view bytes);

}  // namespace kf::files
