#pragma once
// The access key of a site that serves a folder of the user's own: 128 random bits, kept beside the
// catalogue in a file only the user may read, so that the address he gave Klipfang stays the same
// across restarts until he asks for a new key.
#include <filesystem>
#include <functional>
#include <string>

namespace kf::site::library {

// The key kept for `database` (in DATABASE.key), or a new one when there is none, when `renew` asks
// for one, or when the file could be read by others. Throws LibraryError when no key can be kept.
std::string accessKey(const std::filesystem::path &database, bool renew,
                      const std::function<void(const std::string &)> &log);

}  // namespace kf::site::library
