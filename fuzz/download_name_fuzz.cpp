// The name a downloaded video file gets in the download folder: suggested by the server's
// Content-Disposition header or cut from the address, both hostile. Input: the header value, a NUL
// byte, the address. Whatever they say, the name is one plain, visible file name of bounded length.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "platform/fetch/file_name.h"

namespace {

bool validUtf8(const std::string &text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

void checkPlainName(const std::string &name) {
  if (name.empty()) kf::fuzz::fail("the name is empty");
  if (name.size() > kf::fetch::kMaxNameBytes + 8) kf::fuzz::fail("the name is too long");
  if (name.front() == '.' || name.front() == ' ') kf::fuzz::fail("the name starts with a dot or a blank");
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) kf::fuzz::fail("the name holds a separator or control");
  }
  if (!validUtf8(name)) kf::fuzz::fail("the name is no UTF-8");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  kf::fuzz::FuzzInput input(data, size);
  const std::string disposition = input.text();
  const std::string address = input.text();

  const auto suggested = kf::fetch::nameFromContentDisposition(disposition);
  const std::string name =
      kf::fetch::safeFileName(suggested && !suggested->empty() ? *suggested : kf::fetch::nameFromAddress(address));
  if (name.size() > kf::fetch::kMaxNameBytes) kf::fuzz::fail("the name is longer than allowed");
  checkPlainName(name);
  // The numbered form a second download of the same name takes.
  checkPlainName(kf::fetch::numberedName(name, 2));
  return 0;
}
