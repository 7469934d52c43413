#pragma once
// Settings as gtest prints them in a failure: the four values, not the struct's bytes.
#include <ostream>

#include "store/settings.h"

namespace kf::store {

inline void PrintTo(const Settings &s, std::ostream *os) {
  *os << "{" << s.respages << "," << s.cleartxt << "," << s.preview << "," << s.infront << "}";
}

}  // namespace kf::store
