#pragma once
// A video's id in the library: 11 characters of the site's id alphabet, made from its path in the
// library, so that the same file keeps its id across restarts, rescans and a rebuilt catalogue, and
// favourites stay valid.
#include <string>
#include <string_view>

namespace kf::site::library {

// `attempt` 0 first; a later attempt gives another id, for the rare path whose id is taken
// (the program compares ids without regard to letter case).
std::string videoId(std::string_view relativePath, int attempt = 0);

}  // namespace kf::site::library
