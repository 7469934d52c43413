#include "site/pages/site.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "site/catalogue/text.h"
#include "site/pages/pages.h"
#include "site/pages/player.h"
#include "site/pages/results_page.h"

namespace kf::site {
namespace {

constexpr const char *kHtml = "text/html; charset=utf-8";

Reply html(std::string body) {
  return {200, kHtml, std::move(body), {}, nullptr};
}

Reply error(int status, const std::string &message, const Place &place) {
  return {status, kHtml, errorPage(status, message, place), {}, nullptr};
}

// Whether `target` begins with the segment "/" + key, compared in a time that does not tell how
// much of it was right.
bool carriesKey(std::string_view target, const std::string &key) {
  const std::string_view segment = target.substr(1, target.find_first_of("/?", 1) - 1);
  if (!target.starts_with('/') || segment.size() != key.size()) return false;
  unsigned char differs = 0;
  for (std::size_t i = 0; i < key.size(); ++i) differs |= static_cast<unsigned char>(segment[i] ^ key[i]);
  return differs == 0;
}

// The first `most` characters of UTF-8 text.
std::string firstCharacters(std::string_view utf8, std::size_t most) {
  std::size_t at = 0;
  for (std::size_t count = 0; at < utf8.size(); ++at) {
    if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && count++ == most) break;
  }
  return std::string(utf8.substr(0, at));
}

// Each word once, and only so many, each only so long: every word costs the catalogue a pass over
// its index, and no one searches with a page of text.
std::vector<std::string> searchWords(const std::string &utf8, const std::function<bool(std::string_view)> &owned) {
  std::vector<std::string> words;
  const std::string folded = foldCase(utf8);
  for (size_t start = 0; start < folded.size() && words.size() < Site::kMostSearchWords;) {
    size_t end = folded.find_first_of(" \t", start);
    if (end == std::string::npos) end = folded.size();
    std::string word = firstCharacters(std::string_view(folded).substr(start, end - start), Site::kLongestSearchWord);
    if (!word.empty() && !owned(word) && std::find(words.begin(), words.end(), word) == words.end())
      words.push_back(std::move(word));
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

std::string Reply::bodyPiece(std::uint64_t offset, std::size_t length) const {
  if (!file) return offset < body.size() ? body.substr(static_cast<std::size_t>(offset), length) : std::string();
  std::string piece;
  return file->read(offset, length, piece) ? piece : std::string();
}

Site::Site(std::shared_ptr<const VideoCatalogue> videos) : videos_(std::move(videos)), key_(videos_->accessKey()) {}

Site Site::load(const std::filesystem::path &dataDir) {
  auto builtIn = BuiltInCatalogue::load(dataDir);
  Site site(builtIn);
  site.builtIn_ = std::move(builtIn);
  return site;
}

const Catalogue &Site::catalogue() const {
  if (!builtIn_) throw std::logic_error("this site serves a library, not the built-in catalogue");
  return builtIn_->records();
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
  std::string_view target = request.target;
  // Without its key a library site knows nothing: no page, no folder, no file.
  if (!key_.empty() && !carriesKey(target, key_))
    return {404, "text/plain; charset=utf-8", "Nicht gefunden.\n", {}, {}};
  const std::string root = key_.empty() ? std::string() : "/" + key_;
  target.remove_prefix(root.size());
  const Place place{"http://" + request.host + root, root};
  try {
    return route(parseTarget(target.empty() || target.front() == '?' ? "/" + std::string(target) : target), place);
  } catch (const CatalogueBusy &busy) {
    Reply reply = error(503, std::string(busy.what()) + " Bitte gleich noch einmal versuchen.", place);
    reply.headers.emplace_back("Retry-After", std::to_string(kRetryAfterSeconds));
    return reply;
  }
}

Reply Site::route(const Target &target, const Place &place) const {
  const std::string &path = target.path;
  if (path == "/" || path == "/index.html") {
    Reply home = html(homePage(place, *videos_));
    // A launcher that finds a site on its port uses it only for the folder it was asked to show.
    if (std::string folder = videos_->folderIdentity(); !folder.empty()) {
      home.headers.emplace_back(kFolderHeader, std::move(folder));
    }
    return home;
  }
  if (path == "/results") return results(target, place);
  if (path == "/watch") {
    const std::string *id = target.param("v");
    const auto video = id ? videos_->find(*id) : std::nullopt;
    return video ? html(watchPage(place, *video, token(*video))) : error(404, "Dieses Video gibt es nicht.", place);
  }
  if (path == "/get_video.php") return videoFile(target, place);
  if (path.starts_with("/embed/")) {
    const auto video = videos_->find(path.substr(7));
    if (video && video->playback == Playback::Stream) videos_->prepareStream(*video);
    return video ? html(embedPage(place.base, *video, token(*video)))
                 : error(404, "Dieses Video gibt es nicht.", place);
  }
  if (path.starts_with("/vi/")) return picture(path, place);
  if (path.starts_with("/stream/")) return stream(path, place);
  if (path == "/player/hls.js") {
    // Sent as a file, which goes out as it is: a compressed answer would cost more than it saves
    // on this computer's network. It changes only with the program.
    auto script = videos_->streamPlayer();
    return script ? Reply{200, "text/javascript; charset=utf-8", {}, {{"Cache-Control", "max-age=86400"}}, script}
                  : error(404, "Diese Seite gibt es nicht.", place);
  }
  if (path == "/klipfang") return html(makerPage(place));
  return error(404, "Diese Seite gibt es nicht.", place);
}

Reply Site::results(const Target &target, const Place &place) const {
  const std::string *query = target.param("search_query");
  const std::string words = query ? toUtf8(*query) : std::string();
  const int page = pageNumber(target.param("page"));
  std::vector<std::string> folded = searchWords(words, ownedWord_);
  // "*" alone finds every video; beside other words it adds nothing to them.
  const bool every = std::erase(folded, kEveryVideoWord) > 0 && folded.empty();
  const std::size_t size = every ? kEveryPageSize : kPageSize;
  // Past the last page, and when nothing matched, the page is empty: that ends the program's paging.
  if (page < 1 || (folded.empty() && !every)) return html("");
  const std::size_t first = static_cast<std::size_t>(page - 1) * size;
  SearchPage found = every ? videos_->every(first, size) : videos_->search(folded, first, size);
  if (found.videos.empty()) return html("");
  const int pageCount = static_cast<int>((found.total + size - 1) / size);
  ResultsView view{place, words, page, pageCount, static_cast<int>(found.total), std::move(found.videos)};
  return html(resultsPage(view));
}

Reply Site::videoFile(const Target &target, const Place &place) const {
  const std::string *id = target.param("video_id");
  const auto video = id ? videos_->find(*id) : std::nullopt;
  if (!video) return error(404, "Dieses Video gibt es nicht.", place);
  const std::string *t = target.param("t");
  if (!t || *t != token(*video)) return error(403, "Dieser Link ist nicht (mehr) gültig.", place);
  auto file = videos_->file(*video);
  if (!file) return error(404, "Die Videodatei fehlt.", place);
  Reply reply{200,
              file->contentType,
              std::move(file->bytes),
              {{"Content-Disposition", "attachment; filename=\"" + attachmentName(*video) + "\""},
               {"ETag", file->etag},
               {"Accept-Ranges", "bytes"}},
              std::move(file->file)};
  if (!file->lastModified.empty()) reply.headers.emplace_back("Last-Modified", file->lastModified);
  return reply;
}

// "/stream/" + id + "/index.m3u8", or "/stream/" + id + "/" + N + ".ts" for a segment.
Reply Site::stream(const std::string &path, const Place &place) const {
  const std::string rest = path.substr(8);
  const auto slash = rest.find('/');
  const auto video = slash != std::string::npos ? videos_->find(rest.substr(0, slash)) : std::nullopt;
  if (!video || video->playback != Playback::Stream) return error(404, "Dieses Video gibt es nicht.", place);
  const std::string part = rest.substr(slash + 1);
  if (part == "index.m3u8") {
    const StreamOutline outline = videos_->streamOutline(*video);
    if (outline.seconds.empty()) return error(500, outline.problem, place);
    return {200, "application/vnd.apple.mpegurl", streamPlaylist(place.base, *video, outline.seconds), {}, nullptr};
  }
  std::size_t index = 0;
  const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), index);
  if (ec != std::errc() || std::string_view(end) != ".ts") return error(404, "Diese Seite gibt es nicht.", place);
  auto segment = videos_->streamSegment(*video, index);
  if (!segment) return error(503, "Dieser Teil des Videos ließ sich nicht umwandeln.", place);
  return {200, "video/mp2t", {}, {}, std::move(segment)};
}

Reply Site::picture(const std::string &path, const Place &place) const {
  // "/vi/" + id + "/" + id + ".jpg", with the same id twice
  const std::string rest = path.substr(4);
  const auto slash = rest.find('/');
  const std::string id = rest.substr(0, slash);
  const auto video =
      slash != std::string::npos && rest.substr(slash + 1) == id + ".jpg" ? videos_->find(id) : std::nullopt;
  auto bytes = video ? videos_->picture(*video) : std::nullopt;
  return bytes ? Reply{200, "image/jpeg", std::move(*bytes), {}, nullptr}
               : error(404, "Dieses Bild gibt es nicht.", place);
}

}  // namespace kf::site
