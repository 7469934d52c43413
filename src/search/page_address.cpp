#include "search/page_address.h"

#include "platform/base/cp1252.h"

namespace kf::search {

std::string FirstPageUrl(const std::string &siteRoot, const std::string &words) {
  return siteRoot + "/results?search_query=" + words + "&search=Search";
}

std::string PageUrl(const std::string &siteRoot, const std::string &words, int page) {
  const std::string withPage =
      text::replaceAll("/results?search_type=search_videos&search_query=$&search_sort=&search_category=0&page=%", "%",
                       std::to_string(page));
  return siteRoot + text::replaceAll(withPage, "$", words);
}

}  // namespace kf::search
