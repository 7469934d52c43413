#pragma once
#include <string>

namespace kf::search {

// The addresses of the site's result pages for the search words. The words go in as typed: the
// HTTP layer makes them fit for the wire.
std::string FirstPageUrl(const std::string &siteRoot, const std::string &words);
// Page `page`, from 2 on. The page number goes into the address before the words, so a "%" among
// the words stays as it is.
std::string PageUrl(const std::string &siteRoot, const std::string &words, int page);

}  // namespace kf::search
