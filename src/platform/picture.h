#pragma once
// Recognises the picture formats the program shows, by their first bytes.
#include <string_view>

namespace kf::picture {

bool looksLikePicture(std::string_view bytes);

}  // namespace kf::picture
