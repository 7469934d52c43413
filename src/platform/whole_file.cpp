#include "platform/whole_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/text/cp1252.h"

namespace kf::files {

void replaceWithBytes(const std::string &path, std::string_view bytes) {
  const std::string temporary = path + ".neu";
  try {
    writeBytes(temporary, bytes);
  } catch (const Error &) {
    ::unlink(temporary.c_str());
    throw;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temporary.c_str());
    throw Error(errors::kPathFileAccess,
                text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path + " (" + std::strerror(err) + ")");
  }
}

}  // namespace kf::files
