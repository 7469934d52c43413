// rGetString over any text and markers. Input: case flag byte, occurrence (int16, little end first),
// then source, before and after separated by NUL bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "net/r_split.h"
#include "platform/base/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  kf::fuzz::FuzzInput input(data, size);
  const bool caseSensitive = input.flag();
  const std::int16_t loop = input.int16();
  const std::string source = input.text();
  const std::string before = input.text();
  const std::string after = input.text();

  const std::string piece = kf::net::rGetString(source, before, after, loop, caseSensitive);

  if (piece.empty()) return 0;
  if (loop < 1) kf::fuzz::fail("a piece came back for an occurrence below 1");
  const std::string searched = caseSensitive ? source : kf::text::lower(source);
  const std::string end = caseSensitive ? after : kf::text::lower(after);
  if (searched.find(piece) == std::string::npos) kf::fuzz::fail("the piece is not part of the source");
  // The piece ends at the first end marker after its start, so it cannot hold one whole.
  if (!end.empty() && piece.find(end) != std::string::npos) kf::fuzz::fail("the piece holds its end marker");
  return 0;
}
