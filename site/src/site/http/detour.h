#pragma once
// Another way for a request than the ordinary answer: the server asks a detour, when it has one,
// about every request head before cpp-httplib sees it. The test faults are the one detour.
#include <functional>
#include <string_view>

#include "site/http/connection.h"
#include "site/pages/site.h"

namespace kf::site {

class Detour {
 public:
  virtual ~Detour() = default;

  // Answers the request on the connection itself and says true, or leaves it alone. `real` makes
  // what the site would have answered. The connection closes after a detoured answer.
  virtual bool answer(Connection &connection, const RequestHead &head, const std::function<Reply()> &real) = 0;
  // Whether a case-folded search word belongs to the detour, so that searches leave it out.
  virtual bool ownsWord(std::string_view foldedWord) const = 0;
};

}  // namespace kf::site
