#include "store/save_failure.h"

#include "platform/base/cp1252.h"
#include "platform/ui/toolkit.h"

namespace kf::store {

void tellSaveFailure(const std::string &what, const Error &error) {
  ui::toolkit().messageBox(what + text::cp1252(u8" konnten nicht gespeichert werden.\n\n") + error.description() +
                               text::cp1252(u8"\n\nEine vorhandene Datei bleibt unverändert."),
                           "Klipfang", ui::MessageIcon::Critical);
}

}  // namespace kf::store
