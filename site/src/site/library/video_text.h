#pragma once
// What a file of the library shows on the pages: its title, description and play time, made safe
// for the result page's grammar (no quotes or markers the program cuts by, one line each).
#include <optional>
#include <string>
#include <string_view>

namespace kf::site::library {

inline constexpr std::size_t kMaxTitleCharacters = 200;
inline constexpr std::size_t kMaxDescriptionCharacters = 1000;

// The file's name without its extension, "_" and "." read as blanks.
std::string titleFromFileName(std::string_view fileName);

// Any bytes as composed UTF-8 text (composed.h) the pages can carry: quotes, "<", ">", "&" and "|"
// become look-alikes, control characters blanks (a line break, in a description, the page's
// "<br/>"), and nothing that the program takes for an entry or a description marker stays. At most
// `maxCharacters` characters; empty when nothing but blanks was there.
std::string pageText(std::string_view bytes, std::size_t maxCharacters, bool lineBreaks);

// The title tag, else the file name.
std::string chooseTitle(std::string_view titleTag, std::string_view fileName);
// The description tag, else the comment tag, else the side text, else the file's path in the library.
std::string chooseDescription(std::string_view descriptionTag, std::string_view commentTag, std::string_view sideText,
                              std::string_view relativePath);

// The folders a file lies in, as page text with "/" between them: "Urlaub 2023/Sylt" for
// "Urlaub 2023/Sylt/Strand.mp4"; empty for a file in the library folder itself.
std::string folderNames(std::string_view relativePath);

// "M:SS" under an hour, "H:MM:SS" from an hour on.
std::string durationText(long long seconds);

}  // namespace kf::site::library
