#pragma once
// An environment variable set, or removed, for the life of the object, and put back as it was when
// the object goes: the environment is the whole test program's, and the next test must not inherit
// what this one needed.
#include <optional>
#include <string>

namespace kf::test {

class EnvironmentVariable {
 public:
  // No value removes the variable.
  EnvironmentVariable(std::string name, const std::optional<std::string> &value);
  ~EnvironmentVariable();
  EnvironmentVariable(const EnvironmentVariable &) = delete;
  EnvironmentVariable &operator=(const EnvironmentVariable &) = delete;

  // Changes the value again; the one from before the object still comes back at its end.
  void set(const std::optional<std::string> &value);

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace kf::test
