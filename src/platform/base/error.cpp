#include "platform/base/error.h"

#include <cerrno>

#include "platform/base/cp1252.h"
#include "platform/base/system_message.h"

namespace kf {

Error fileError(int systemError, const std::string &path) {
  switch (systemError) {
    case ENOENT:
      return {errors::kFileNotFound, text::cp1252(u8"Datei nicht gefunden: ") + path};
    case EACCES:
    case EPERM:
    case EROFS:
      return {errors::kPermissionDenied, text::cp1252(u8"Zugriff verweigert: ") + path};
    case ENOSPC:
    case EDQUOT:
      return {errors::kDiskFull, text::cp1252(u8"Datenträger voll: ") + path};
    case EFBIG:
      return {errors::kDiskFull, text::cp1252(u8"Datei zu groß: ") + path};
    case EIO:
      return {errors::kPathFileAccess, text::cp1252(u8"Ein-/Ausgabefehler des Datenträgers: ") + path};
    case ELOOP:
      return {errors::kPathFileAccess, text::cp1252(u8"Zu viele symbolische Verknüpfungen: ") + path};
    case ENAMETOOLONG:
      return {errors::kPathFileAccess, text::cp1252(u8"Pfad zu lang: ") + path};
    case ENOTDIR:
    case EISDIR:
    case EEXIST:
      return {errors::kPathFileAccess, text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path};
    default:
      return {errors::kPathFileAccess,
              text::cp1252(u8"Fehler beim Zugriff auf Pfad/Datei: ") + path + " (" + systemMessage(systemError) + ")"};
  }
}

}  // namespace kf
