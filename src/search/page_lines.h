#pragma once
// The lines of the result page loaded last, as the page view lists them and the parser reads them.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kf::search {

class PageLines {
 public:
  const std::vector<std::string> &lines() const { return lines_; }
  // Takes the lines of a newly loaded page in place of the old ones.
  void replace(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    if (onReplaced) onReplaced();
  }

  // After every replace(), so the page view shows the new page.
  std::function<void()> onReplaced;

 private:
  std::vector<std::string> lines_;
};

}  // namespace kf::search
