#include "store/unreadable_file.h"

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"

namespace kf::store {

std::string moveAside(const std::string &path, const std::string &what, const std::string &startsWith) {
  std::string text = what + text::cp1252(u8" in „") + path + text::cp1252(u8"“ konnten nicht gelesen werden. ");
  try {
    const std::string aside = files::moveAside(path, path + ".unlesbar");
    text +=
        text::cp1252(u8"Die Datei wurde unverändert nach „") + aside + text::cp1252(u8"“ verschoben. ") + startsWith;
  } catch (const Error &error) {
    text += text::cp1252(u8"Sie konnte auch nicht nach „") + path + text::cp1252(u8".unlesbar“ verschoben werden (") +
            error.description() + "). " + startsWith;
  }
  return text;
}

}  // namespace kf::store
