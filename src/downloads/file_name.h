#pragma once
// The name a downloaded file gets. The server and the address suggest it, so it is hostile text: it
// is made into one plain name in the download folder before it touches the file system.
#include <optional>
#include <string>
#include <string_view>

namespace kf::downloads {

// The name a Content-Disposition header value suggests: "filename*" (UTF-8, percent-encoded) before
// "filename" (quoted or plain). Nothing when it suggests none.
std::optional<std::string> nameFromContentDisposition(std::string_view header);

// The last segment of the address's path, percent-decoded; empty when the path ends in "/".
std::string nameFromAddress(std::string_view address);

// One plain file name: no path separators, no character that shows nothing or not what it is
// (controls, direction and zero-width characters, see isInvisibleCharacter), no leading dot, dash or
// blank, valid UTF-8, at most kMaxNameBytes bytes with its
// extension kept; kFallbackName when nothing is left.
inline constexpr std::size_t kMaxNameBytes = 200;
inline constexpr std::string_view kFallbackName = "download";
std::string safeFileName(std::string_view suggested);

// The name a download is saved under: the one a Content-Disposition value (empty when the answer
// had none) suggests, else the address's, made safe.
std::string downloadName(std::string_view disposition, std::string_view address);

}  // namespace kf::downloads
