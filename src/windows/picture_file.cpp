#include "windows/picture_file.h"

#include <algorithm>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"

namespace kf::windows {
namespace {

std::string dataFolder(const std::string &appDir) {
  return files::join(appDir, "dat");
}

bool usableName(const std::string &name) {
  const bool control = std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
  return !name.empty() && name != "." && name != ".." && !control;
}

}  // namespace

std::string FileNameFromAddress(const std::string &address) {
  const std::size_t separator = address.find_last_of("/\\");
  return separator == std::string::npos ? address : address.substr(separator + 1);
}

std::string pictureFolder(const std::string &appDir) {
  return files::join(dataFolder(appDir), "pics");
}

std::string picturePath(const std::string &appDir, const std::string &address) {
  const std::string name = FileNameFromAddress(address);
  if (!usableName(name)) {
    throw Error(errors::kPathFileAccess, text::cp1252(u8"Die Bildadresse ergibt keinen gültigen Dateinamen."));
  }
  return files::join(pictureFolder(appDir), name);
}

void ensurePictureFolder(const std::string &appDir) {
  for (const std::string &folder : {dataFolder(appDir), pictureFolder(appDir)}) {
    if (!files::folderExists(folder)) files::createFolder(folder);
  }
}

}  // namespace kf::windows
