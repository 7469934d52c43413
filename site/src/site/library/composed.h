#pragma once
// Text in one Unicode form: a name written on an Apple device ("a" and a combining diaeresis) and
// the same name typed elsewhere ("ä") are one text to show, to search and to name a download by.
#include <string>
#include <string_view>

namespace kf::site::library {

// UTF-8 text in its composed form (NFC).
std::string composed(std::string_view utf8);

}  // namespace kf::site::library
