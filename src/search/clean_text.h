#pragma once
#include <string>
#include <string_view>

#include "store/settings.h"

namespace kf::search {

// Pages arrive as bytes read as Windows-1252, so the site's UTF-8 characters show as two to four
// characters each. With `cleartxt` on, every character Windows-1252 has is put back (ß, Ä, €, the German
// quotes and dashes ...), and a tab or a line-break tag between two characters that are not blanks
// becomes one blank, so that sentences stay apart (elsewhere both are dropped); what the code page has no character
// for, and bytes that are no UTF-8, stay as they came. With it off the text comes back unchanged.
std::string CleanText(std::string line, const store::Settings &settings);

}  // namespace kf::search
