#include "site/library/video_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

#include "site/catalogue/text.h"
#include "site/library/composed.h"

namespace kf::site::library {
namespace {

constexpr std::array<std::pair<char, std::string_view>, 6> kLookAlikes = {{
    {'\'', "\xE2\x80\x99"},  // ’
    {'"', "\xE2\x80\x9D"},   // ”
    {'<', "\xE2\x80\xB9"},   // ‹
    {'>', "\xE2\x80\xBA"},   // ›
    {'&', "+"},
    {'|', "\xC2\xA6"},  // ¦
}};

bool idCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

bool continuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// "/watch?v=" marks an entry and "desc" with an id the description of one; inside a video's texts
// each gets a blank, so that a tag cannot pose as another entry or move another's description.
std::string breakMarkers(std::string text) {
  for (size_t at = text.find("watch?v="); at != std::string::npos; at = text.find("watch?v=", at)) {
    text.insert(at + 6, " ");
  }
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  for (size_t at = lower.rfind("desc"); at != std::string::npos;
       at = at == 0 ? std::string::npos : lower.rfind("desc", at - 1)) {
    const bool idFollows =
        at + 4 + 11 <= text.size() &&
        std::all_of(text.begin() + static_cast<long>(at) + 4, text.begin() + static_cast<long>(at) + 15, idCharacter);
    if (idFollows) text.insert(at + 4, " ");
  }
  return text;
}

}  // namespace

std::string titleFromFileName(std::string_view fileName) {
  const auto dot = fileName.rfind('.');
  std::string stem(dot == std::string_view::npos || dot == 0 ? fileName : fileName.substr(0, dot));
  std::replace_if(
      stem.begin(), stem.end(), [](char c) { return c == '_' || c == '.'; }, ' ');
  return stem;
}

std::string pageText(std::string_view bytes, std::size_t maxCharacters, bool lineBreaks) {
  const std::string utf8 = composed(toUtf8(bytes));
  std::string out;
  std::size_t characters = 0;
  for (const char c : utf8) {
    if (!continuationByte(c) && ++characters > maxCharacters) break;
    const auto lookAlike =
        std::find_if(kLookAlikes.begin(), kLookAlikes.end(), [c](const auto &entry) { return entry.first == c; });
    if (lookAlike != kLookAlikes.end()) {
      out += lookAlike->second;
    } else if (c == '\n' && lineBreaks) {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      if (!out.empty() && !out.ends_with("<br/>")) out += "<br/>";
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ' ') {
      if (!out.empty() && out.back() != ' ' && !out.ends_with("<br/>")) out += ' ';
    } else {
      out += c;
    }
  }
  while (out.ends_with(' ') || out.ends_with("<br/>")) out.resize(out.size() - (out.ends_with(' ') ? 1 : 5));
  return breakMarkers(std::move(out));
}

std::string chooseTitle(std::string_view titleTag, std::string_view fileName) {
  std::string title = pageText(titleTag, kMaxTitleCharacters, false);
  if (title.empty()) title = pageText(titleFromFileName(fileName), kMaxTitleCharacters, false);
  return title.empty() ? "Video" : title;
}

std::string chooseDescription(std::string_view descriptionTag, std::string_view commentTag, std::string_view sideText,
                              std::string_view relativePath) {
  for (std::string_view candidate : {descriptionTag, commentTag, sideText, relativePath}) {
    std::string text = pageText(candidate, kMaxDescriptionCharacters, true);
    if (!text.empty()) return text;
  }
  return "Video";
}

std::string folderNames(std::string_view relativePath) {
  const auto slash = relativePath.rfind('/');
  return slash == std::string_view::npos ? std::string() : pageText(relativePath.substr(0, slash), 1000, false);
}

std::string durationText(long long seconds) {
  seconds = std::max(0LL, seconds);
  char text[32];
  if (seconds < 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  }
  return text;
}

}  // namespace kf::site::library
