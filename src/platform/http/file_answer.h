#pragma once
// Reading the head of a file's answer: the few headers a download needs, taken line by line as they
// arrive, and what they mean for the bytes that follow. Inside the platform layer only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/http/file_transfer.h"

namespace kf::http::detail {

struct AnswerHead {
  long status = 0;
  std::optional<std::uint64_t> contentLength;
  std::string contentRange;
  std::string etag;
  std::string lastModified;
  std::string disposition;
  std::string contentType;
  bool location = false;

  // One line of the head as it came, with its line end. A status line starts a new answer (after a
  // redirect or an interim answer), so what came before is forgotten.
  void take(std::string_view line);
  // Whether this answer ends the exchange: not an interim answer, not a redirect that is followed.
  bool isFinal() const;
};

// Why an answer cannot be taken, for the user (Windows-1252), and whether the bytes in hand stay
// good for a later request.
struct Refusal {
  std::string problem;
  bool bytesUsable = true;
};

// What the final answer to `request` means for the file: where its body belongs, the file's size
// and validator; or why it is refused. `maxFileBytes` bounds the whole file.
std::variant<FileAnswer, Refusal> readAnswer(const AnswerHead &head, const FileRequest &request,
                                             std::uint64_t maxFileBytes);

}  // namespace kf::http::detail
