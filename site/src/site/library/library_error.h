#pragma once
// Why a library cannot be served, said to the user as it is: German, naming what is wrong.
#include <stdexcept>

namespace kf::site::library {

class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kf::site::library
