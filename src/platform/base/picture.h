#pragma once
// Recognises the picture formats the program shows, by their first bytes, and reads picture files for
// the window model and its peers, which know no file layer of their own.
#include <string>
#include <string_view>

namespace kf::picture {

bool looksLikePicture(std::string_view bytes);

// The bytes of the plain file at `path`; a folder, device or pipe in its place is refused rather
// than read. Raises kf::Error (fileError) with the system's reason.
std::string readPictureFile(const std::string &path);

}  // namespace kf::picture
