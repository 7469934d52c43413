#pragma once
#include <cstddef>
#include <string>

namespace kf::test {

// A body of `size` bytes that runs through every byte value, so a changed or lost byte shows.
std::string patternBody(std::size_t size);

}  // namespace kf::test
