#include "site/http/ranges.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>
#include <vector>

namespace kf::site {
namespace {

// More than a client that seeks needs; a header of thousands of ranges is taken as none.
constexpr std::size_t kMostRanges = 16;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<std::uint64_t> number(std::string_view digits) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// One "first-last", "first-" or "-suffix" as the bytes [first, end) of an answer of `size` bytes;
// an empty span when it lies beyond the end. Nothing when it is not a range at all.
std::optional<std::pair<std::uint64_t, std::uint64_t>> span(std::string_view piece, std::uint64_t size) {
  const std::size_t dash = piece.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::string_view from = trimmed(piece.substr(0, dash));
  const std::string_view to = trimmed(piece.substr(dash + 1));
  if (from.empty()) {
    const auto suffix = number(to);
    if (!suffix) return std::nullopt;
    return std::pair{size - std::min(*suffix, size), size};
  }
  const auto first = number(from);
  const auto last = to.empty() ? std::optional<std::uint64_t>(UINT64_MAX - 1) : number(to);
  if (!first || !last || *last < *first) return std::nullopt;
  if (*first >= size) return std::pair{size, size};
  return std::pair{*first, std::min(*last, size - 1) + 1};
}

}  // namespace

RangeChoice chooseRange(std::string_view header, std::uint64_t size) {
  header = trimmed(header);
  if (!header.starts_with("bytes=")) return {};
  header.remove_prefix(6);
  std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
  std::size_t pieces = 0;
  while (!header.empty()) {
    const std::size_t comma = std::min(header.find(','), header.size());
    const std::string_view piece = trimmed(header.substr(0, comma));
    header.remove_prefix(std::min(comma + 1, header.size()));
    if (piece.empty()) continue;
    const auto found = span(piece, size);
    if (!found || ++pieces > kMostRanges) return {};
    if (found->first < found->second) spans.push_back(*found);
  }
  if (pieces == 0) return {};
  if (spans.empty()) return {RangeChoice::Kind::Unsatisfiable};
  std::sort(spans.begin(), spans.end());
  // Overlapping and touching ranges are one; a gap between them leaves the whole answer to send.
  std::uint64_t end = spans.front().second;
  for (const auto &[first, last] : spans) {
    if (first > end) return {};
    end = std::max(end, last);
  }
  return {RangeChoice::Kind::Part, spans.front().first, end - spans.front().first};
}

std::string contentRange(const RangeChoice &choice, std::uint64_t size) {
  if (choice.kind != RangeChoice::Kind::Part) return "bytes */" + std::to_string(size);
  return "bytes " + std::to_string(choice.first) + "-" + std::to_string(choice.first + choice.length - 1) + "/" +
         std::to_string(size);
}

}  // namespace kf::site
