#include "site.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "faults.h"
#include "pages.h"
#include "results_page.h"
#include "text.h"

namespace kf::site {
namespace {

constexpr const char *kHtml = "text/html; charset=utf-8";

Reply html(std::string body) {
  return {200, kHtml, std::move(body), {}};
}

Reply error(int status, const std::string &message) {
  return {status, kHtml, errorPage(status, message), {}};
}

std::vector<std::string> searchWords(const std::string &utf8) {
  std::vector<std::string> words;
  std::string folded = foldCase(utf8);
  size_t start = 0;
  while (start < folded.size()) {
    size_t end = folded.find_first_of(" \t", start);
    if (end == std::string::npos) end = folded.size();
    std::string word = folded.substr(start, end - start);
    if (!word.empty() && !isReservedWord(word)) words.push_back(std::move(word));
    start = end + 1;
  }
  return words;
}

// A page number from 1 on; anything else answers as a page past the end.
int pageNumber(const std::string *text) {
  if (!text) return 1;
  int page = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), page);
  return ec == std::errc() && end == text->data() + text->size() && page >= 1 ? page : 0;
}

}  // namespace

Site::Site(Catalogue catalogue, Media media) : catalogue_(std::move(catalogue)), media_(std::move(media)) {}

Site Site::load(const std::filesystem::path &dataDir) {
  Catalogue catalogue = Catalogue::load(dataDir / "catalogue.txt");
  Media media = Media::load(dataDir, catalogue);
  return Site(std::move(catalogue), std::move(media));
}

std::string Site::token(const Video &video) const {
  // FNV-1a over a fixed salt and the id: stable across restarts, different for every video.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : "klipfang-token:" + video.id) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

Reply Site::answer(const Request &request) const {
  const Target target = parseTarget(request.target);
  const std::string base = "http://" + request.host;
  const std::string &path = target.path;
  if (path == "/" || path == "/index.html") {
    std::vector<const Video *> featured;
    for (size_t i = 0; i < catalogue_.videos().size() && featured.size() < 6; i += 37) {
      featured.push_back(&catalogue_.videos()[i]);
    }
    return html(homePage(base, featured));
  }
  if (path == "/results") return results(target, base);
  if (path == "/watch") {
    const std::string *id = target.param("v");
    const Video *video = id ? catalogue_.find(*id) : nullptr;
    return video ? html(watchPage(*video, token(*video))) : error(404, "Dieses Video gibt es nicht.");
  }
  if (path == "/get_video.php") return videoFile(target);
  if (path.starts_with("/embed/")) {
    const Video *video = catalogue_.find(path.substr(7));
    return video ? html(embedPage(base, *video, token(*video))) : error(404, "Dieses Video gibt es nicht.");
  }
  if (path.starts_with("/vi/")) return picture(path);
  if (path == "/klipfang") return html(makerPage());
  return error(404, "Diese Seite gibt es nicht.");
}

Reply Site::results(const Target &target, const std::string &base) const {
  const std::string *query = target.param("search_query");
  const std::string words = query ? toUtf8(*query) : std::string();
  const auto found = catalogue_.search(searchWords(words));
  const int pageCount = static_cast<int>((found.size() + kPageSize - 1) / kPageSize);
  const int page = pageNumber(target.param("page"));
  // Past the last page, and when nothing matched, the page is empty: that ends the program's paging.
  if (page < 1 || page > pageCount) return html("");
  ResultsView view{base, words, page, pageCount, static_cast<int>(found.size()), {}};
  const size_t first = static_cast<size_t>(page - 1) * kPageSize;
  for (size_t i = first; i < found.size() && i < first + kPageSize; ++i) view.entries.push_back(found[i]);
  return html(resultsPage(view));
}

Reply Site::videoFile(const Target &target) const {
  const std::string *id = target.param("video_id");
  const Video *video = id ? catalogue_.find(*id) : nullptr;
  if (!video) return error(404, "Dieses Video gibt es nicht.");
  const std::string *t = target.param("t");
  if (!t || *t != token(*video)) return error(403, "Dieser Link ist nicht (mehr) gültig.");
  const std::string *clip = media_.clip(video->clip);
  if (!clip) return error(404, "Die Videodatei fehlt.");
  return {200,
          "video/webm",
          *clip,
          {{"Content-Disposition", "attachment; filename=\"" + attachmentName(*video) + "\""},
           {"ETag", media_.clipTag(video->clip)},
           {"Accept-Ranges", "bytes"}}};
}

Reply Site::picture(const std::string &path) const {
  // "/vi/" + id + "/" + id + ".jpg", with the same id twice
  const std::string rest = path.substr(4);
  const auto slash = rest.find('/');
  const std::string id = rest.substr(0, slash);
  const std::string *bytes =
      slash != std::string::npos && rest.substr(slash + 1) == id + ".jpg" ? media_.picture(id) : nullptr;
  return bytes ? Reply{200, "image/jpeg", *bytes, {}} : error(404, "Dieses Bild gibt es nicht.");
}

}  // namespace kf::site
