#include "support/search_data.h"

#include <cstdlib>

namespace kf::test {

std::string searchData(const std::string &name) {
  const char *root = std::getenv("KF_TEST_DATA");
  return std::string(root ? root : KF_TEST_DATA_DIR) + "/search/" + name;
}

}  // namespace kf::test
