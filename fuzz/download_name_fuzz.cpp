// The name a downloaded video file gets in the download folder: suggested by the server's
// Content-Disposition header or cut from the address, both hostile. Input: the header value, a NUL
// byte, the address. Whatever they say, the name is one plain, visible file name of bounded length,
// and it shows what it is: no control, format or other invisible character in it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "downloads/file_name.h"
#include "fuzz_input.h"
#include "platform/os/part_file.h"

namespace {

// The code points of `text`; nothing when it is no UTF-8.
std::optional<std::u32string> codePoints(const std::string &text) {
  std::u32string points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t j = 1; j < length; ++j) {
      const auto next = static_cast<unsigned char>(text[i + j]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      point = point << 6 | (next & 0x3F);
    }
    points += point;
    i += length;
  }
  return points;
}

// A sample of each kind: controls, the soft hyphen, zero-width, separator, direction and other format
// characters, variation selectors and tags.
bool hidesWhatItIs(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) || codePoint == 0xAD || codePoint == 0x180E ||
         (codePoint >= 0x200B && codePoint <= 0x200F) || (codePoint >= 0x2028 && codePoint <= 0x202E) ||
         (codePoint >= 0x2060 && codePoint <= 0x206F) || (codePoint >= 0xFE00 && codePoint <= 0xFE0F) ||
         (codePoint >= 0xE0000 && codePoint <= 0xE0FFF);
}

void checkPlainName(const std::string &name) {
  if (name.empty()) kf::fuzz::fail("the name is empty");
  if (name.size() > kf::downloads::kMaxNameBytes + 8) kf::fuzz::fail("the name is too long");
  if (name.front() == '.' || name.front() == ' ' || name.front() == '-') {
    kf::fuzz::fail("the name starts with a dot, a blank or a dash");
  }
  if (name.find_first_of("/\\") != std::string::npos) kf::fuzz::fail("the name holds a separator");
  const auto points = codePoints(name);
  if (!points) kf::fuzz::fail("the name is no UTF-8");
  for (const char32_t codePoint : *points) {
    if (hidesWhatItIs(codePoint)) kf::fuzz::fail("the name holds a control character");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  kf::fuzz::FuzzInput input(data, size);
  const std::string disposition = input.text();
  const std::string address = input.text();

  const std::string name = kf::downloads::downloadName(disposition, address);
  if (name.size() > kf::downloads::kMaxNameBytes) kf::fuzz::fail("the name is longer than allowed");
  checkPlainName(name);
  // The numbered form a second download of the same name takes.
  checkPlainName(kf::files::numberedName(name, 2));
  return 0;
}
