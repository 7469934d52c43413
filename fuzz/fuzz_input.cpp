#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace kf::fuzz {

void fail(const char *what) {
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

}  // namespace kf::fuzz
