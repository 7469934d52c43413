#include "platform/http/file_answer.h"

#include "platform/base/cp1252.h"

namespace kf::http::detail {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A whole decimal number of at most 19 digits, which cannot overflow; nothing for anything else.
std::optional<std::uint64_t> number(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

struct ContentRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::optional<std::uint64_t> size;
};

// "bytes FIRST-LAST/SIZE" or "bytes FIRST-LAST/*".
std::optional<ContentRange> contentRange(std::string_view value) {
  constexpr std::string_view kUnit = "bytes ";
  if (text::lower(value.substr(0, kUnit.size())) != kUnit) return std::nullopt;
  value.remove_prefix(kUnit.size());
  const std::size_t dash = value.find('-');
  const std::size_t slash = value.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash) return std::nullopt;
  const auto first = number(trimmed(value.substr(0, dash)));
  const auto last = number(trimmed(value.substr(dash + 1, slash - dash - 1)));
  const std::string_view size = trimmed(value.substr(slash + 1));
  if (!first || !last || *last < *first) return std::nullopt;
  ContentRange range{*first, *last, std::nullopt};
  if (size != "*") {
    range.size = number(size);
    if (!range.size || *range.size <= *last) return std::nullopt;
  }
  return range;
}

std::string limitText(std::uint64_t bytes) {
  return bytes % (1024 * kMiB) == 0 ? std::to_string(bytes / (1024 * kMiB)) + " GiB"
                                    : std::to_string(bytes / kMiB) + " MiB";
}

Refusal statusRefusal(long status) {
  return {text::cp1252(u8"Der Server antwortet mit dem Status ") + std::to_string(status) + ".", true};
}

Refusal otherPart() {
  return {text::cp1252(u8"Der Server schickt einen anderen Teil der Datei als erbeten."), false};
}

}  // namespace

void AnswerHead::take(std::string_view line) {
  if (line.starts_with("HTTP/")) {
    *this = {};
    const std::size_t blank = line.find(' ');
    if (blank != std::string_view::npos) status = static_cast<long>(number(line.substr(blank + 1, 3)).value_or(0));
    return;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string name = text::lower(trimmed(line.substr(0, colon)));
  const std::string_view value = trimmed(line.substr(colon + 1));
  if (name == "content-length") {
    contentLength = number(value);
  } else if (name == "content-range") {
    contentRange = value;
  } else if (name == "etag") {
    etag = value;
  } else if (name == "last-modified") {
    lastModified = value;
  } else if (name == "content-disposition") {
    disposition = value;
  } else if (name == "content-type") {
    contentType = value;
  } else if (name == "location") {
    location = true;
  }
}

bool AnswerHead::isFinal() const {
  return status >= 200 && !(status >= 300 && status < 400 && location);
}

std::variant<FileAnswer, Refusal> readAnswer(const AnswerHead &head, const FileRequest &request,
                                             std::uint64_t maxFileBytes) {
  FileAnswer answer;
  // A weak ETag may not stand in If-Range: it does not promise the same bytes.
  answer.validator = !head.etag.empty() && !head.etag.starts_with("W/") ? head.etag : head.lastModified;
  answer.disposition = head.disposition;
  answer.contentType = head.contentType;
  if (head.status == 200) {
    // The whole file, also where the rest was asked for: the server cannot send ranges, or the file
    // changed since the bytes in hand came.
    answer.size = head.contentLength;
  } else if (head.status == 206) {
    const auto range = contentRange(head.contentRange);
    if (request.resumeFrom == 0 || !range || range->first != request.resumeFrom) return otherPart();
    if (head.contentLength && *head.contentLength != range->last - range->first + 1) return otherPart();
    answer.startsAt = range->first;
    answer.size = range->size;
  } else if (head.status == 416 && request.resumeFrom > 0) {
    return Refusal{
        text::cp1252(u8"Der Server kann den Download nicht fortsetzen; der nächste Versuch beginnt von vorn."), false};
  } else {
    return statusRefusal(head.status);
  }
  if (answer.size && *answer.size > maxFileBytes) {
    return Refusal{text::cp1252(u8"Die Datei ist größer als ") + limitText(maxFileBytes) + ".", false};
  }
  return answer;
}

}  // namespace kf::http::detail
