#pragma once
// The name a downloaded file gets. The server and the address suggest it, so it is hostile text: it
// is made into one plain name in the download folder before it touches the file system.
#include <optional>
#include <string>
#include <string_view>

namespace kf::fetch {

// The name a Content-Disposition header value suggests: "filename*" (UTF-8, percent-encoded) before
// "filename" (quoted or plain). Nothing when it suggests none.
std::optional<std::string> nameFromContentDisposition(std::string_view header);

// The last segment of the address's path, percent-decoded; empty when the path ends in "/".
std::string nameFromAddress(std::string_view address);

// One plain file name: no path separators, no control characters, no leading dot or blank, valid
// UTF-8, at most kMaxNameBytes bytes with its extension kept; kFallbackName when nothing is left.
inline constexpr std::size_t kMaxNameBytes = 200;
inline constexpr std::string_view kFallbackName = "download";
std::string safeFileName(std::string_view suggested);

// `name` itself for 0, else the name with " (n)" before its extension: "clip (2).webm".
std::string numberedName(const std::string &name, int n);

}  // namespace kf::fetch
