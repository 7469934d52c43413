#pragma once
// The frame every page of the site shares: doctype, head, masthead with logo and search form,
// navigation, and the footer. None of it holds a video link, so on result pages the only lines
// with "/watch?v=" are the entry lines.
#include <string>
#include <string_view>

namespace kf::site {

// Where the addresses on a page start: `root` begins every address of the site's ("/KEY" on a site
// with an access key, else empty), `base` is its absolute form, "http://" + host + root.
struct Place {
  std::string base;
  std::string root;
};

// The search word that finds every video, and the address of that search below the site's root,
// escaped for HTML.
inline constexpr std::string_view kEveryVideoWord = "*";
std::string everyVideoAddress();

// Everything up to and including the navigation, "\n" after every line. `root` starts every address
// of the site's ("/KEY" for a site with an access key, else empty).
std::string pageTop(std::string_view title, const std::string &root);

// The footer and the closing tags; the line "</html>" ends the page.
std::string pageBottom(const std::string &root);

}  // namespace kf::site
