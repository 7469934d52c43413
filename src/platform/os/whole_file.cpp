#include "platform/os/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/base/system_message.h"
#include "platform/os/files.h"

namespace kf::files {
namespace {

// Puts the whole new file in the old one's place in one step and removes the old one. Renaming over
// a file makes ext4 write the new one out at once, a guard for programs that replace files without
// syncing them, which costs more than fetching and reading a result page; exchanging the names does
// not. False where there is no plain file to exchange with, or the file system cannot exchange.
bool exchangeWithOld(const std::string &temporary, const std::string &path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) != 0) return false;
  ::unlink(temporary.c_str());
  return true;
}

}  // namespace

void replaceWithBytes(const std::string &path, std::string_view bytes) {
  const std::string temporary = path + ".neu";
  try {
    writeBytes(temporary, bytes);
  } catch (const Error &) {
    ::unlink(temporary.c_str());
    throw;
  }
  if (exchangeWithOld(temporary, path)) return;
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temporary.c_str());
    throw Error(errors::kPathFileAccess,
                text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path + " (" + systemMessage(err) + ")");
  }
}

}  // namespace kf::files
