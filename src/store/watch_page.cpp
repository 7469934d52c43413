#include "store/watch_page.h"

#include <algorithm>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"

namespace kf::store {
namespace {

constexpr std::size_t kLongestId = 64;
// The template is one short line of markup; a first line that does not end within this is no
// template, and a damaged file is read no further.
constexpr std::size_t kMostTemplateBytes = 8192;

std::string templateLine(const std::string &appDir) {
  const std::string path = files::join(appDir, "vid.kf");
  std::vector<std::string> lines;
  try {
    lines = files::readLines(path, {.mostLines = 1, .mostBytes = kMostTemplateBytes});
  } catch (const Error &error) {
    if (error.number() == errors::kFileNotFound) {
      throw Error(error.number(), text::cp1252(u8"Die Vorlage der Videoseite fehlt: ") + path);
    }
    throw Error(error.number(),
                text::cp1252(u8"Die Vorlage der Videoseite kann nicht gelesen werden: ") + error.description());
  }
  if (lines.empty() || lines.front().empty()) {
    throw Error(errors::kInputPastEnd, text::cp1252(u8"Die Vorlage der Videoseite ist leer: ") + path);
  }
  if (lines.front().size() >= kMostTemplateBytes) {
    throw Error(errors::kOverflow, text::cp1252(u8"Die Vorlage der Videoseite ist zu lang: ") + path);
  }
  return lines.front();
}

}  // namespace

bool isSafeVideoId(std::string_view videoId) {
  const auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  };
  return !videoId.empty() && videoId.size() <= kLongestId && std::all_of(videoId.begin(), videoId.end(), allowed);
}

std::string writeWatchPage(const std::string &appDir, const std::string &videoId, const net::SiteAddress &site) {
  if (!isSafeVideoId(videoId)) {
    throw Error(errors::kInvalidArgument,
                text::cp1252(u8"Dieses Video kann nicht angezeigt werden: seine Kennung ist ungültig."));
  }
  // A site's root holds no "%", so the id goes in after it.
  const std::string framed = text::replaceAll(templateLine(appDir), net::builtInSiteAddress().root, site.root);
  const std::string page = text::replaceAll(framed, "%", videoId);
  const std::string path = files::join(files::join(appDir, "dat"), videoId + ".html");
  try {
    files::saveLinesAtomically(path, {page});
  } catch (const Error &error) {
    throw Error(error.number(), text::cp1252(u8"Die Videoseite kann nicht geschrieben werden: ") + error.description());
  }
  return "file://" + path;
}

}  // namespace kf::store
