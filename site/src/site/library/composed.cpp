#include "site/library/composed.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/stringpiece.h>

namespace kf::site::library {

namespace {

// ICU makes its tables on first use and orders that with atomics of its own, which a thread checker
// of ours does not see: fetched once here, under the language's own guard, every scanning and
// answering thread finds them made.
const icu::Normalizer2 *nfcInstance() {
  static const icu::Normalizer2 *const instance = [] {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    return U_SUCCESS(status) ? nfc : nullptr;
  }();
  return instance;
}

}  // namespace

std::string composed(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2 *nfc = nfcInstance();
  const icu::StringPiece text(utf8.data(), static_cast<std::int32_t>(utf8.size()));
  // Nearly every text is composed already and is taken as it is.
  if (!nfc || nfc->isNormalizedUTF8(text, status) || U_FAILURE(status)) return std::string(utf8);
  std::string out;
  icu::StringByteSink<std::string> sink(&out, static_cast<std::int32_t>(utf8.size()));
  status = U_ZERO_ERROR;
  nfc->normalizeUTF8(0, text, sink, nullptr, status);
  return U_SUCCESS(status) ? out : std::string(utf8);
}

}  // namespace kf::site::library
