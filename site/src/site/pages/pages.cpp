#include "site/pages/pages.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "site/catalogue/text.h"
#include "site/pages/layout.h"
#include "site/pages/player.h"

namespace kf::site {

std::string homePage(const Place &place, const VideoCatalogue &videos) {
  std::string out = pageTop("Videos ansehen und teilen", place.root);
  if (const std::string folder = videos.folderName(); !folder.empty()) {
    const std::size_t count = videos.count();
    out += "<h1>Ordner „" + folder + "“</h1>\n";
    out += "<p>" + std::to_string(count) + (count == 1 ? " Video" : " Videos") + " in diesem Ordner und seinen " +
           "Unterordnern. <a href=\"" + place.root + everyVideoAddress() +
           "\">Alle Videos</a>, nach Ordner und Titel.</p>\n";
    out += "<h2>Neue Videos</h2>\n<div id=\"featured\">\n";
  } else {
    out += "<h1>Willkommen bei Klipfang</h1>\n";
    out += "<p>Kurze Videos aus aller Welt. Suche oben nach Katzen, Musik oder Berlin.</p>\n";
    out += "<h2>Empfohlene Videos</h2>\n<div id=\"featured\">\n";
  }
  for (const Video &video : videos.featured(6)) {
    out += "<div class=\"vresult\"><a href=\"" + place.root + "/watch?v=" + video.id + "\"><img src=\"" + place.base +
           "/vi/" + video.id + "/" + video.id + ".jpg\" width=\"130\" height=\"97\" alt=\"\"></a>\n";
    out +=
        "<div class=\"vtitle\">" + video.title + "</div> <span class=\"runtime\">" + video.duration + "</span></div>\n";
  }
  out += "</div>\n";
  out += pageBottom(place.root);
  return out;
}

std::string watchPage(const Place &place, const Video &video, const std::string &token) {
  std::string out = pageTop(video.title, place.root);
  out += "<h1>" + video.title + "</h1>\n";
  if (video.playback == Playback::None) out += cannotPlayNote(place.base, video, token);
  out +=
      "<div id=\"playerDiv\">Zum Ansehen brauchst du den Flash Player. "
      "<a href=\"" +
      place.root + "/embed/" + video.id + "\">Ohne Flash ansehen</a></div>\n";
  out += "<script type=\"text/javascript\">\n";
  out += "var so = new SWFObject(\"" + place.root + "/player.swf?video_id=" + video.id + "&t=" + token +
         "&l=" + std::to_string(video.seconds) + "&sk=" + token.substr(0, 8) +
         "&fs=1\", \"movie_player\", \"450\", \"370\", \"7\", \"#FFFFFF\");\n";
  out += "so.write(\"playerDiv\");\n";
  out += "</script>\n";
  out += "<div id=\"watchInfo\">Dauer: " + video.duration + "<br/>\n" + video.description + "</div>\n";
  out += pageBottom(place.root);
  return out;
}

std::string makerPage(const Place &place) {
  std::string out = pageTop("Der Macher", place.root);
  out += "<h1>Klipfang</h1>\n";
  out += "<p>Klipfang durchsucht diese Videoseite, merkt sich Lieblingsvideos und lädt Videos herunter.</p>\n";
  out += "<p>Geschrieben in Berlin. Fragen, Lob und Fehlerberichte sind willkommen.</p>\n";
  out += pageBottom(place.root);
  return out;
}

std::string errorPage(int status, const std::string &message, const Place &place) {
  std::string out = pageTop("Fehler", place.root);
  out += "<h1>Fehler " + std::to_string(status) + "</h1>\n<p>" + escapeHtml(message) + "</p>\n";
  out += pageBottom(place.root);
  return out;
}

std::string attachmentName(const Video &video) {
  static constexpr std::pair<std::string_view, std::string_view> kSpelledOut[] = {
      {"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "Ae"}, {"Ö", "Oe"}, {"Ü", "Ue"}, {"ß", "ss"}};
  std::string name;
  std::string_view title = video.title;
  while (!title.empty() && name.size() < 80) {
    bool spelled = false;
    for (const auto &[letter, ascii] : kSpelledOut) {
      if (title.starts_with(letter)) {
        name += ascii;
        title.remove_prefix(letter.size());
        spelled = true;
        break;
      }
    }
    if (spelled) continue;
    char c = title.front();
    title.remove_prefix(1);
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    if (keep) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  while (!name.empty() && name.back() == '_') name.pop_back();
  std::string extension = std::filesystem::path(video.fileName).extension().string();
  const bool plain =
      extension.size() > 1 && extension.size() <= 5 &&
      std::all_of(extension.begin() + 1, extension.end(), [](unsigned char c) { return std::isalnum(c); });
  return (name.empty() ? video.id : name) + (plain ? extension : ".webm");
}

}  // namespace kf::site
