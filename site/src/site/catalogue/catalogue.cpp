#include "site/catalogue/catalogue.h"

#include <fstream>
#include <set>
#include <sstream>

#include "site/catalogue/text.h"

namespace kf::site {
namespace {

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

bool validId(std::string_view id) {
  if (id.size() != 11) return false;
  for (char c : id) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool hasControl(std::string_view text, bool tabAllowed) {
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && !(tabAllowed && c == '\t')) || b == 0x7F) return true;
  }
  return false;
}

// "m:ss" with a minute count of one to three digits; the answer in seconds, or -1.
int parseDuration(std::string_view text) {
  auto colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 3 || text.size() != colon + 3) return -1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i != colon && (text[i] < '0' || text[i] > '9')) return -1;
  }
  int minutes = std::stoi(std::string(text.substr(0, colon)));
  int seconds = std::stoi(std::string(text.substr(colon + 1)));
  return seconds < 60 ? minutes * 60 + seconds : -1;
}

Video parseRecord(std::string_view line) {
  auto fields = split(line, '|');
  if (fields.size() != 6) throw CatalogueError("expected 6 fields separated by \"|\"");
  Video v;
  v.id = fields[0];
  v.title = fields[1];
  v.duration = fields[2];
  v.description = fields[5];
  if (!validId(v.id)) throw CatalogueError("bad id \"" + v.id + "\"");
  if (v.title.empty() || v.title.find_first_of("'\"<>&") != std::string::npos || hasControl(v.title, false)) {
    throw CatalogueError("title is empty or holds a quote, \"<\", \">\", \"&\" or a control character");
  }
  if (toUtf8(v.title) != v.title || toUtf8(v.description) != v.description) throw CatalogueError("text is not UTF-8");
  v.seconds = parseDuration(v.duration);
  if (v.seconds < 0) throw CatalogueError("bad duration \"" + v.duration + "\"");
  if (fields[3].size() != 1 || fields[3][0] < '0' || fields[3][0] > '9') throw CatalogueError("bad clip number");
  v.clip = fields[3][0] - '0';
  v.tags = split(fields[4], ',');
  for (const auto &tag : v.tags) {
    if (tag.empty() || hasControl(tag, false)) throw CatalogueError("empty tag or control character in a tag");
  }
  if (v.description.empty() || v.description.front() == ' ' || v.description.back() == ' ' ||
      hasControl(v.description, true)) {
    throw CatalogueError("description is empty, starts or ends with a blank, or holds a control character");
  }
  for (const auto &field : fields) {
    if (field.find("/watch?v=") != std::string::npos) throw CatalogueError("text holds an entry marker");
  }
  v.searchText = foldCase(v.title + '\n' + v.description + '\n' + fields[4]);
  return v;
}

}  // namespace

Catalogue Catalogue::parse(std::string_view text) {
  Catalogue catalogue;
  std::set<std::string> foldedIds;
  size_t number = 0;
  for (auto line : split(text, '\n')) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    try {
      Video video = parseRecord(line);
      if (!foldedIds.insert(foldCase(video.id)).second) throw CatalogueError("id used twice (letter case ignored)");
      catalogue.videos_.push_back(std::move(video));
    } catch (const CatalogueError &e) {
      throw CatalogueError("catalogue line " + std::to_string(number) + ": " + e.what());
    }
  }
  return catalogue;
}

Catalogue Catalogue::load(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw CatalogueError("Der Katalog " + file.string() + " kann nicht gelesen werden.");
  std::ostringstream text;
  text << in.rdbuf();
  return parse(text.str());
}

const Video *Catalogue::find(std::string_view id) const {
  for (const auto &video : videos_) {
    if (video.id == id) return &video;
  }
  return nullptr;
}

std::vector<const Video *> Catalogue::search(const std::vector<std::string> &foldedWords) const {
  std::vector<const Video *> found;
  if (foldedWords.empty()) return found;
  for (const auto &video : videos_) {
    bool all = true;
    for (const auto &word : foldedWords) all = all && video.searchText.find(word) != std::string::npos;
    if (all) found.push_back(&video);
  }
  return found;
}

}  // namespace kf::site
