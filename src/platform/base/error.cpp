#include "platform/base/error.h"

#include <cerrno>

#include "platform/base/cp1252.h"
#include "platform/base/system_message.h"

namespace kf {

Error fileError(int systemError, const std::string &path) {
  switch (systemError) {
    case ENOENT:
      return Error(errors::kFileNotFound, text::cp1252(u8"Datei nicht gefunden: ") + path);
    case EACCES:
    case EPERM:
    case EROFS:
      return Error(errors::kPermissionDenied, text::cp1252(u8"Zugriff verweigert: ") + path);
    case ENOSPC:
    case EDQUOT:
      return Error(errors::kDiskFull, text::cp1252(u8"Datenträger voll: ") + path);
    case EFBIG:
      return Error(errors::kDiskFull, text::cp1252(u8"Datei zu groß: ") + path);
    case EIO:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Ein-/Ausgabefehler des Datenträgers: ") + path);
    case ELOOP:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Zu viele symbolische Verknüpfungen: ") + path);
    case ENAMETOOLONG:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Pfad zu lang: ") + path);
    case ENOTDIR:
    case EISDIR:
    case EEXIST:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path);
    default:
      return Error(errors::kPathFileAccess, text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path + " (" +
                                                systemMessage(systemError) + ")");
  }
}

}  // namespace kf
