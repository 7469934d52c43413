#pragma once
// The frame every page of the site shares: doctype, head, masthead with logo and search form,
// navigation, and the footer. None of it holds a video link, so on result pages the only lines
// with "/watch?v=" are the entry lines.
#include <string>
#include <string_view>

namespace kf::site {

// Everything up to and including the navigation, "\n" after every line.
std::string pageTop(std::string_view title);

// The footer and the closing tags; the line "</html>" ends the page.
std::string pageBottom();

}  // namespace kf::site
