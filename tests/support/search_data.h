#pragma once
#include <string>

namespace kf::test {

// A file of the crafted result pages in tests/data/search.
std::string searchData(const std::string &name);

}  // namespace kf::test
