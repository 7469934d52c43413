#include "support/environment_variable.h"

#include <cstdlib>
#include <utility>

namespace kf::test {

EnvironmentVariable::EnvironmentVariable(std::string name, const std::optional<std::string> &value)
    : name_(std::move(name)) {
  if (const char *old = std::getenv(name_.c_str())) old_ = old;
  set(value);
}

EnvironmentVariable::~EnvironmentVariable() {
  set(old_);
}

void EnvironmentVariable::set(const std::optional<std::string> &value) {
  if (value) {
    ::setenv(name_.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

}  // namespace kf::test
