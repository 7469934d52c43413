#pragma once
// A failure that a procedure hands to its caller: a number and a description, the way the program's
// callers tell failures apart and show them. Descriptions are Windows-1252 text.
#include <stdexcept>
#include <string>

namespace kf {

class Error : public std::runtime_error {
 public:
  Error(int number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}
  int number() const { return number_; }
  const std::string &description() const { return description_; }

 private:
  int number_;
  std::string description_;
};

// Numbers the platform layer raises, one for each kind of failure: callers tell failures apart by
// them (a missing watch page template from one that cannot be read), and a failed start shows its
// number to the user ("Laufzeitfehler '75'"), so a number keeps its meaning once it is given.
namespace errors {
constexpr int kInvalidArgument = 5;
constexpr int kOverflow = 6;
constexpr int kFileNotFound = 53;
constexpr int kDiskFull = 61;
constexpr int kInputPastEnd = 62;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccess = 75;
constexpr int kInvalidPicture = 481;
constexpr int kStillExecuting = 35764;
}  // namespace errors

// The failure of a file operation on `path` for the system's error number (errno), told in German
// with the path, under the number callers tell it by (kFileNotFound for ENOENT, ...).
Error fileError(int systemError, const std::string &path);

}  // namespace kf
