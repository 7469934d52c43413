#pragma once
// The part of an answer a Range header asks for, judged against the answer's size before a byte of
// it goes out, so that no range can reach past the end: an end beyond it is cut to the last byte,
// a range that starts beyond it is refused (416), and several ranges are joined into one or, where
// they leave gaps, answered with the whole.
#include <cstdint>
#include <string>
#include <string_view>

namespace kf::site {

struct RangeChoice {
  enum class Kind { Whole, Part, Unsatisfiable } kind = Kind::Whole;
  std::uint64_t first = 0;   // of a part: its first byte
  std::uint64_t length = 0;  // of a part: how many bytes
};

// `header` is the Range header's value ("bytes=0-99", "bytes=-500", "bytes=7000-"). A header that
// is not a byte range, or that cannot be read, is ignored: the whole answer goes.
RangeChoice chooseRange(std::string_view header, std::uint64_t size);

// "bytes 0-99/7428" for a part, "bytes */7428" for a refusal.
std::string contentRange(const RangeChoice &choice, std::uint64_t size);

}  // namespace kf::site
