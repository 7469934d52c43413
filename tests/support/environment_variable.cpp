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
  // Changing the environment is this helper's whole job, and glibc allows it only while no other
  // thread reads the environment: a test sets its variables before it starts such threads.
  if (value) {
    ::setenv(name_.c_str(), value->c_str(), 1);  // NOLINT(concurrency-mt-unsafe): see above
  } else {
    ::unsetenv(name_.c_str());  // NOLINT(concurrency-mt-unsafe): see above
  }
}

}  // namespace kf::test
