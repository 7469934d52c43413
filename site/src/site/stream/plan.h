#pragma once
// How a stream of one file is cut: where each segment starts, and whether its picture is copied or
// converted. A converted picture is cut every few seconds, each segment beginning with a key frame the
// encoder is made to put there; a copied one only where the file has a key frame. Made once per file
// version and kept beside its segments.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kf::site::stream {

// Short, so that the first picture and a jump wait for little conversion.
inline constexpr long long kConvertedSegment = 1'000'000;  // microseconds
inline constexpr long long kShortestCopiedSegment = 2'000'000;
// A copy whose key frames lie further apart than this is converted instead: a jump would have to
// wait for a segment this long.
inline constexpr long long kLongestCopiedSegment = 20'000'000;

struct Plan {
  std::string way;  // a word of worker/play_way.h: sound, container or picture
  long long duration = 0;
  std::vector<long long> starts;  // from the file's start; the first is 0

  bool copiesPicture() const;
  std::size_t count() const { return starts.size(); }
  long long end(std::size_t segment) const { return segment + 1 < starts.size() ? starts[segment + 1] : duration; }
};

// The plan for a file of `duration` whose picture has key frames at `keys` (wanted only when the
// way copies the picture). A copy the key frames cannot cut well falls back to converting.
Plan makePlan(std::string_view way, long long duration, const std::vector<long long> &keys);

std::string planText(const Plan &plan);
// Empty when the text is not a plan this version wrote.
std::optional<Plan> readPlan(std::string_view text);

}  // namespace kf::site::stream
