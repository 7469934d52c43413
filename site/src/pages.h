#pragma once
// The site's other pages: home, watch page with the player embedding, the embeddable player,
// the maker's homepage and error pages.
#include <string>
#include <vector>

#include "catalogue.h"

namespace kf::site {

std::string homePage(const std::string &base, const std::vector<const Video *> &featured);

// Holds the player embedding the program resolves the file address from: the player address,
// in double quotes after "SWFObject(", carries video_id and the token t before any parameter
// whose name starts with "s".
std::string watchPage(const Video &video, const std::string &token);

// An HTML5 player whose source is the video's file address on this host.
std::string embedPage(const std::string &base, const Video &video, const std::string &token);

std::string makerPage();

std::string errorPage(int status, const std::string &message);

// A download file name from the title: ASCII letters, digits, "-" and "_" only, ".webm" at the end.
std::string attachmentName(const Video &video);

}  // namespace kf::site
