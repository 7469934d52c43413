#pragma once
// Misbehaviour on purpose, so that the program's tests meet real faults. A test chooses which
// requests misbehave and how; reserved words in a request address do the same by hand
// (curl 'http://localhost:8480/results?search_query=katze%20fehler-500&search=Search').
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "site/http/detour.h"

namespace kf::site {

enum class Fault {
  Refuse,       // close the connection without a word
  Slow,         // the real answer, its body trickled out in small pieces with pauses
  CutOff,       // announce the full Content-Length, send half the body, close
  NoLength,     // the real answer without Content-Length (a body then ends with the connection)
  HugeHeader,   // the real answer behind a header block of several kilobytes
  ServerError,  // status 500 with a small error page
  Endless,      // status 200 and a body that never ends
  NotAPicture,  // status 200, but an HTML error page where a picture was asked for
  Trickle,      // the real answer, its body one byte a second: a page that takes a day
  // as CutOff for the first request of an address, the real answer for the second, and so on
  CutOffEveryOther,
};

// Which requests a fault hits: `method` ("GET", "HEAD"; empty for any) and a piece of the request
// target (empty for any). `times` limits how many requests it hits; 0 means every one.
struct FaultMatch {
  std::string method;
  std::string target;
  int times = 0;
};

// The rules a test sets and the reserved words, as the server's detour: a request they hit is
// answered by its fault.
class FaultControl final : public Detour {
 public:
  void set(FaultMatch match, Fault fault);
  void clear();

  // The fault for this request, if any: the rules in the order they were set, then the reserved
  // words. A rule limited by `times` counts this request.
  std::optional<Fault> take(std::string_view method, std::string_view target);

  bool answer(Connection &connection, const RequestHead &head, const std::function<Reply()> &real) override;
  bool ownsWord(std::string_view foldedWord) const override;

 private:
  struct Rule {
    FaultMatch match;
    Fault fault;
    int used = 0;
  };
  std::mutex mutex_;
  std::vector<Rule> rules_;
  // How often each address asked for CutOffEveryOther by its reserved word has been requested.
  std::map<std::string, int> everyOtherSeen_;
};

// The fault a reserved word such as "fehler-500" in the target asks for.
std::optional<Fault> reservedFault(std::string_view target);

// Whether a case-folded search word is one of the reserved words, which searches ignore.
bool isReservedWord(std::string_view foldedWord);

}  // namespace kf::site
