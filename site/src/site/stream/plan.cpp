#include "site/stream/plan.h"

#include <sstream>

#include "site/worker/play_way.h"

namespace kf::site::stream {
namespace {

namespace way = worker::play_way;

constexpr std::string_view kPlanHeader = "klipfang-stream-plan 1";
// A last segment shorter than this joins the one before it.
constexpr long long kShortestLast = 500'000;
constexpr std::size_t kMostSegments = 100'000;

std::vector<long long> everyFewSeconds(long long duration) {
  std::vector<long long> starts{0};
  for (long long at = kConvertedSegment; at < duration - kShortestLast; at += kConvertedSegment) starts.push_back(at);
  return starts;
}

}  // namespace

bool Plan::copiesPicture() const {
  return way != way::kPicture;
}

Plan makePlan(std::string_view wayWord, long long duration, const std::vector<long long> &keys) {
  Plan plan{std::string(wayWord), duration, {0}};
  if (plan.copiesPicture()) {
    for (const long long key : keys) {
      if (key >= plan.starts.back() + kShortestCopiedSegment && key < duration - kShortestLast)
        plan.starts.push_back(key);
    }
    bool cutsWell = true;
    for (std::size_t i = 0; i < plan.count(); ++i)
      cutsWell = cutsWell && plan.end(i) - plan.starts[i] <= kLongestCopiedSegment;
    if (cutsWell) return plan;
    plan.way = way::kPicture;
  }
  plan.starts = everyFewSeconds(duration);
  return plan;
}

std::string planText(const Plan &plan) {
  std::string text = std::string(kPlanHeader) + "\n" + plan.way + "\n" + std::to_string(plan.duration) + "\n";
  for (const long long start : plan.starts) text += std::to_string(start) + " ";
  return text + "\n";
}

std::optional<Plan> readPlan(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::string header, wayWord;
  Plan plan;
  if (!std::getline(in, header) || header != kPlanHeader || !std::getline(in, wayWord) || !(in >> plan.duration)) {
    return std::nullopt;
  }
  if (wayWord != way::kSound && wayWord != way::kContainer && wayWord != way::kPicture) return std::nullopt;
  plan.way = wayWord;
  for (long long start = 0; plan.starts.size() <= kMostSegments && in >> start;) {
    if (!plan.starts.empty() && start <= plan.starts.back()) return std::nullopt;
    plan.starts.push_back(start);
  }
  if (plan.starts.empty() || plan.starts.front() != 0 || plan.starts.back() >= plan.duration) return std::nullopt;
  return plan;
}

}  // namespace kf::site::stream
