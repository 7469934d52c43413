#pragma once
// Characters that show nothing, or not what they are, where a file name is read: a name holding one
// can pass for another name in a file manager, a list or a question to the user.
namespace kf::downloads {

// True for the control characters (C0, C1) and the format characters (direction controls,
// zero-width characters, the soft hyphen, tags...), the line and paragraph separators, and every
// other character Unicode says a text shows nothing for (variation selectors, fillers...).
bool isInvisibleCharacter(char32_t c);

}  // namespace kf::downloads
