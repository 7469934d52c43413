#pragma once
// The site's other pages: home, watch page with the player embedding, the embeddable player,
// the maker's homepage and error pages.
#include <string>
#include <vector>

#include "site/catalogue/catalogue.h"
#include "site/catalogue/video_catalogue.h"
#include "site/pages/layout.h"

namespace kf::site {

// The site's own welcome, or for a folder of the user's: its name, how many videos it holds and the
// way to all of them.
std::string homePage(const Place &place, const VideoCatalogue &videos);

// Holds the player embedding the program resolves the file address from: the player address,
// in double quotes after "SWFObject(", carries video_id and the token t before any parameter
// whose name starts with "s". A video the video window cannot play says so and offers its file
// (the embeddable player is in player.h).
std::string watchPage(const Place &place, const Video &video, const std::string &token);

std::string makerPage(const Place &place);

std::string errorPage(int status, const std::string &message, const Place &place = {});

// A download file name from the title: ASCII letters, digits, "-" and "_" only, and the extension
// of the video's file (".webm" for the built-in clips).
std::string attachmentName(const Video &video);

}  // namespace kf::site
