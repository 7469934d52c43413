#include "downloads/open_check.h"

#include <algorithm>
#include <iterator>

#include "platform/base/cp1252.h"

namespace kf::downloads {
namespace {

constexpr std::size_t kMaxMediaType = 100;

constexpr std::string_view kMediaExtensions[] = {"3gp", "aac",  "avi", "flac", "flv",  "m4a", "m4v", "mka",
                                                 "mkv", "mov",  "mp3", "mp4",  "mpeg", "mpg", "oga", "ogg",
                                                 "ogv", "opus", "wav", "weba", "webm", "wma", "wmv"};

// How the containers of video and audio begin; none of them begins a program, a script, a launcher
// or an archive.
constexpr std::string_view kMediaSignatures[] = {
    "\x1A\x45\xDF\xA3",                       // Matroska, WebM
    "OggS",                                   // Ogg
    "RIFF",                                   // AVI, WAV
    "fLaC",                                   // FLAC
    "ID3",                                    // MP3
    "FLV",                                    // Flash video
    std::string_view("\x00\x00\x01\xBA", 4),  // MPEG program stream
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11",       // ASF, WMV, WMA
};

bool isTokenCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$&^_.+-").find(c) != std::string_view::npos;
}

// "type/subtype" in lower case without its parameters; empty when the value is none.
std::string mediaType(std::string_view contentType) {
  const std::string type = text::lower(text::blanksTrimmed(contentType.substr(0, contentType.find(';'))));
  const std::size_t slash = type.find('/');
  const bool wellFormed =
      type.size() <= kMaxMediaType && slash != std::string::npos && slash > 0 && slash + 1 < type.size() &&
      std::all_of(type.begin(), type.end(), [](char c) { return c == '/' || isTokenCharacter(c); }) &&
      type.find('/', slash + 1) == std::string::npos;
  return wellFormed ? type : std::string();
}

// The part after the name's last dot, in lower case; empty when it has none.
std::string extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? std::string() : text::lower(name.substr(dot + 1));
}

bool beginsAsMedia(std::string_view bytes) {
  const bool isoMedia = bytes.size() >= 8 && bytes.substr(4, 4) == "ftyp";  // MP4, MOV, M4A, 3GP
  // An MPEG audio frame of layer 3 or an AAC frame, with no ID3 tag before it.
  const bool audioFrame = bytes.size() >= 2 && bytes[0] == '\xFF' &&
                          std::string_view("\xE2\xE3\xF2\xF3\xFA\xFB\xF1\xF9").find(bytes[1]) != std::string_view::npos;
  return isoMedia || audioFrame || std::ranges::any_of(kMediaSignatures, [&](std::string_view signature) {
           return bytes.starts_with(signature);
         });
}

}  // namespace

bool opensWithoutAsking(std::string_view name, std::string_view contentType, std::string_view firstBytes) {
  const std::string ext = extension(name);
  if (!ext.empty()) return std::ranges::find(kMediaExtensions, ext) != std::end(kMediaExtensions);
  const std::string type = mediaType(contentType);
  return (type.starts_with("video/") || type.starts_with("audio/")) && beginsAsMedia(firstBytes);
}

std::string openQuestion(std::string_view name, std::string_view contentType) {
  const std::string type = mediaType(contentType);
  return text::cp1252(u8"Die Datei „") + text::fromUtf8(name) +
         text::cp1252(u8"“ ist nicht als Video- oder Audiodatei zu erkennen (Typ laut Server: ") +
         (type.empty() ? text::cp1252(u8"keine Angabe") : type) +
         text::cp1252(
             u8"). Eine solche Datei kann beim Öffnen ein Programm starten. Soll sie trotzdem geöffnet "
             u8"werden?");
}

}  // namespace kf::downloads
