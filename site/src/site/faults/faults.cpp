#include "site/faults/faults.h"

#include <array>
#include <utility>

#include "site/faults/fault_reply.h"

namespace kf::site {
namespace {

constexpr std::array<std::pair<std::string_view, Fault>, 10> kReservedWords = {{
    {"fehler-verweigert", Fault::Refuse},
    {"fehler-langsam", Fault::Slow},
    {"fehler-abbruch", Fault::CutOff},
    {"fehler-ohnelaenge", Fault::NoLength},
    {"fehler-kopf", Fault::HugeHeader},
    {"fehler-500", Fault::ServerError},
    {"fehler-endlos", Fault::Endless},
    {"fehler-keinbild", Fault::NotAPicture},
    {"fehler-troepfeln", Fault::Trickle},
    {"fehler-halb", Fault::CutOffEveryOther},
}};

// Addresses remembered for CutOffEveryOther before the count starts afresh: a site run by hand
// never comes near it, a client that makes up addresses cannot grow the site without end.
constexpr std::size_t kMaxEveryOtherAddresses = 1000;

}  // namespace

void FaultControl::set(FaultMatch match, Fault fault) {
  std::lock_guard lock(mutex_);
  rules_.push_back({std::move(match), fault});
}

void FaultControl::clear() {
  std::lock_guard lock(mutex_);
  rules_.clear();
}

std::optional<Fault> FaultControl::take(std::string_view method, std::string_view target) {
  {
    std::lock_guard lock(mutex_);
    for (auto &rule : rules_) {
      const auto &m = rule.match;
      bool spent = m.times > 0 && rule.used >= m.times;
      if (spent || (!m.method.empty() && m.method != method) || target.find(m.target) == std::string_view::npos) {
        continue;
      }
      ++rule.used;
      return rule.fault;
    }
  }
  const std::optional<Fault> fault = reservedFault(target);
  if (fault != Fault::CutOffEveryOther) return fault;
  std::lock_guard lock(mutex_);
  if (everyOtherSeen_.size() >= kMaxEveryOtherAddresses) everyOtherSeen_.clear();
  const auto [entry, added] = everyOtherSeen_.try_emplace(std::string(target), 0);
  return entry->second++ % 2 == 0 ? fault : std::nullopt;
}

bool FaultControl::answer(Connection &connection, const RequestHead &head, const std::function<Reply()> &real) {
  const std::optional<Fault> fault = take(head.method, head.target);
  if (fault) sendFaulty(connection, *fault, real(), head.method == "HEAD");
  return fault.has_value();
}

bool FaultControl::ownsWord(std::string_view foldedWord) const {
  return isReservedWord(foldedWord);
}

std::optional<Fault> reservedFault(std::string_view target) {
  for (const auto &[word, fault] : kReservedWords) {
    if (target.find(word) != std::string_view::npos) return fault;
  }
  return std::nullopt;
}

bool isReservedWord(std::string_view foldedWord) {
  for (const auto &entry : kReservedWords) {
    if (entry.first == foldedWord) return true;
  }
  return false;
}

}  // namespace kf::site
