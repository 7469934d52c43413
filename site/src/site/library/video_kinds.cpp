#include "site/library/video_kinds.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

namespace kf::site::library {
namespace {

constexpr std::pair<std::string_view, const char *> kKinds[] = {
    {".webm", "video/webm"},     {".mkv", "video/x-matroska"}, {".mp4", "video/mp4"},       {".m4v", "video/mp4"},
    {".mov", "video/quicktime"}, {".ogv", "video/ogg"},        {".avi", "video/x-msvideo"}, {".mpg", "video/mpeg"},
    {".mpeg", "video/mpeg"},     {".vob", "video/mpeg"},       {".ts", "video/mp2t"},       {".mts", "video/mp2t"},
    {".m2ts", "video/mp2t"},     {".wmv", "video/x-ms-wmv"},   {".asf", "video/x-ms-asf"},  {".3gp", "video/3gpp"},
    {".flv", "video/x-flv"},     {".dv", "video/dv"}};

// The entry of the name's extension; a name that is nothing but an extension (".mp4") has none.
const char *typeOf(std::string_view name) {
  name = name.substr(name.rfind('/') + 1);
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return nullptr;
  std::string extension(name.substr(dot));
  std::ranges::transform(extension, extension.begin(), [](unsigned char c) { return std::tolower(c); });
  const auto kind = std::ranges::find(kKinds, extension, &std::pair<std::string_view, const char *>::first);
  return kind == std::end(kKinds) ? nullptr : kind->second;
}

}  // namespace

bool isVideoName(std::string_view name) {
  return typeOf(name) != nullptr;
}

const char *contentTypeOf(std::string_view name) {
  const char *type = typeOf(name);
  return type ? type : "application/octet-stream";
}

}  // namespace kf::site::library
