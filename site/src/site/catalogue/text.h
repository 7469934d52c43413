#pragma once
// Text handling for what arrives in request addresses: the program sends its search words as
// Windows-1252 bytes, browsers send UTF-8; the site works in UTF-8 throughout.
#include <string>
#include <string_view>

namespace kf::site {

// Decodes %XX escapes and "+" (a blank in form submissions). A "%" not followed by two hex
// digits stays as it is.
std::string percentDecode(std::string_view text);

// Percent-encodes every byte except letters, digits and "-._~", for addresses the site writes.
std::string percentEncode(std::string_view text);

// Valid UTF-8 is kept; anything else is taken as Windows-1252 and converted.
std::string toUtf8(std::string_view bytes);

// Lower case for ASCII and the Latin-1 letters (Ä, Ö, Ü and the rest), enough for the catalogue.
std::string foldCase(std::string_view utf8);

// Escapes &, <, >, " and ' for HTML text and attributes; "/" too, so that echoed user text can
// never form an address on a page.
std::string escapeHtml(std::string_view text);

}  // namespace kf::site
