#pragma once
// "Öffnen" hands a finished download to the desktop's opener, which picks a program by the file's
// extension, or by its first bytes where it has none. A video or audio file goes to a player; any
// other file a server named (a launcher, a Java archive, a script, a program) could start something,
// so the user is asked first.
#include <string>
#include <string_view>

namespace kf::downloads {

// How many of a file's first bytes tell its kind.
inline constexpr std::size_t kKindBytes = 16;

// True for a video or audio file: one with a video or audio extension, or one without an extension
// whose answer's Content-Type says video or audio and whose first bytes begin as such a file.
// `name` is UTF-8, `contentType` as the answer gave it, `firstBytes` the file's first kKindBytes.
bool opensWithoutAsking(std::string_view name, std::string_view contentType, std::string_view firstBytes);

// The question before any other file is opened (Windows-1252), naming the file and its type.
std::string openQuestion(std::string_view name, std::string_view contentType);

}  // namespace kf::downloads
