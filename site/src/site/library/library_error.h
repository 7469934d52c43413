#pragma once
// Why a library cannot be served, said to the user as it is: German, naming what is wrong.
#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kf::site::library {

class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system's own words for an error number (errno), as strerror gives them, but safe with the
// site's request threads: strerror may answer in one buffer for all of them.
inline std::string systemMessage(int error) {
  std::array<char, 256> buffer{};
  // The GNU strerror_r, as glibc declares it for C++: it answers its own text or what it wrote.
  return ::strerror_r(error, buffer.data(), buffer.size());
}

}  // namespace kf::site::library
