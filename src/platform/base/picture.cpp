#include "platform/base/picture.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/base/error.h"

namespace kf::picture {

bool looksLikePicture(std::string_view bytes) {
  const auto starts = [&](std::string_view magic) { return bytes.substr(0, magic.size()) == magic; };
  return starts("\xFF\xD8\xFF") || starts("\x89PNG\r\n\x1A\n") || starts("GIF87a") || starts("GIF89a") || starts("BM");
}

std::string readPictureFile(const std::string &path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) throw fileError(error.value(), path);
  // Checked before opening: opening a pipe would wait for a writer.
  if (!std::filesystem::is_regular_file(status)) throw fileError(EISDIR, path);
  // "e": not inherited by a program started meanwhile.
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rbe"), &std::fclose);
  if (!file) throw fileError(errno, path);
  std::string bytes;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
  if (std::ferror(file.get())) throw fileError(errno, path);
  return bytes;
}

}  // namespace kf::picture
