#include "store/save_failure.h"

#include "platform/base/cp1252.h"

namespace kf::store {

SaveFailed::SaveFailed(const std::string &what, const Error &cause)
    : Error(cause.number(), what + text::cp1252(u8" konnten nicht gespeichert werden.\n\n") + cause.description() +
                                text::cp1252(u8"\n\nEine vorhandene Datei bleibt unverändert.")) {}

}  // namespace kf::store
