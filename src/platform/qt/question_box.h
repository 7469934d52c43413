#pragma once
// A question the user answers with "Ja" or "Nein", in a modal box of the real toolkit.
#include <string>

namespace kf::qtui {

// True for "Ja". "Nein" is the default, and closing the box answers it. Texts are Windows-1252.
bool askYesNo(const std::string &question, const std::string &title);

}  // namespace kf::qtui
