#include "site/pages/results_page.h"

#include "site/catalogue/text.h"
#include "site/pages/layout.h"

namespace kf::site {
namespace {

std::string pageAddress(const std::string &root, const std::string &words, int page) {
  return root + "/results?search_type=search_videos&amp;search_query=" + percentEncode(words) +
         "&amp;search_sort=&amp;search_category=0&amp;page=" + std::to_string(page);
}

// Seven lines per entry. Counted from the entry line: the play time two lines below it (three
// above the marker), the marker "desc" + id five below, the description alone on the line after.
std::string entry(const Place &place, const Video &video) {
  std::string out = "<div class=\"vresult\">\n";
  out += entryLine(place, video) + "\n";
  out += "<div class=\"vinfo\">\n";
  out += "<span class=\"runtime\">" + video.duration + "</span>\n";
  out += "<div class=\"vtitle\">" + video.title + "</div>\n";
  out += "<div class=\"vtags\">Tags:";
  for (const auto &tag : video.tags) out += " " + tag;
  out += "</div>\n";
  out += "<div class=\"vdesc\" id=\"desc" + video.id + "\">\n";
  out += video.description + "\n";
  out += "</div>\n</div>\n</div>\n";
  return out;
}

}  // namespace

// The reader cuts the id up to its closing double quote only before position L - p, and the title
// up to its closing single quote only up to L - p' - 2 (L: line length, p and p': where id and
// title start). The picture address and attributes after the title are far longer than p' + 2, and
// a longer title moves its closing quote and the line's end alike, so every title fits. Only the
// title may hold non-ASCII text: a reader that shortens umlaut pairs shortens both sides equally.
std::string entryLine(const Place &place, const Video &video) {
  return "<div class=\"vthumb\"><a href=\"" + place.root + "/watch?v=" + video.id + "\" title='" + video.title +
         "'><img src=\"" + place.base + "/vi/" + video.id + "/" + video.id +
         ".jpg\" width=\"130\" height=\"97\" alt=\"\" border=\"0\"" + " class=\"vimg\"></a></div>";
}

std::string resultsPage(const ResultsView &view) {
  std::string out = pageTop("Suchergebnisse", view.place.root);
  out += "<div id=\"results\">\n";
  out += "<h1>Suchergebnisse</h1>\n";
  for (const Video &video : view.entries) out += entry(view.place, video);
  out += "</div>\n";
  // The echo of the words stands below every entry: whatever they hold, the reader has met each
  // entry's marker before it.
  out += "<div id=\"pager\">\n";
  out += "Seite " + std::to_string(view.page) + " von " + std::to_string(view.pageCount) + " (" +
         std::to_string(view.total) + " Videos) f&uuml;r &bdquo;" + escapeHtml(view.words) + "&ldquo;\n";
  if (view.page > 1)
    out += "<a href=\"" + pageAddress(view.place.root, view.words, view.page - 1) + "\">Zur&uuml;ck</a>\n";
  if (view.page < view.pageCount)
    out += "<a href=\"" + pageAddress(view.place.root, view.words, view.page + 1) + "\">Weiter</a>\n";
  out += "</div>\n";
  out += pageBottom(view.place.root);
  return out;
}

}  // namespace kf::site
