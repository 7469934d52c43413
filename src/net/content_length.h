#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kf::net {

// The size announced after the first "Content-Length:" (any letter case) in a raw header block:
// blanks around and inside the number are skipped, reading stops at the first character that
// cannot belong to a number, and the value is rounded to a whole number. Nothing when no such
// header or no number follows. Throws kf::Error 6 (overflow) for a value beyond 32-bit signed.
std::optional<std::int32_t> contentLength(const std::string &rawHeaders);

}  // namespace kf::net
