#pragma once
#include <string>
#include <string_view>

#include "store/settings.h"

namespace kf::search {

// Pages arrive as bytes read as Windows-1252, so the site's UTF-8 umlauts show as two-character
// pairs. With `cleartxt` on, ö, ä and ü are put back and line-break tags and tabs dropped; with it
// off the text comes back unchanged.
std::string CleanText(std::string_view text, const store::Settings &settings);

}  // namespace kf::search
