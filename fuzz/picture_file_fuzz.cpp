// The picture file name cut from a preview picture address, which comes from a result page. Whatever
// the address, the file either is refused or lies directly in the picture folder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "platform/base/error.h"
#include "windows/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string address(reinterpret_cast<const char *>(data), size);
  const std::string name = kf::windows::FileNameFromAddress(address);
  if (name.find_first_of("/\\") != std::string::npos) kf::fuzz::fail("the file name holds a separator");

  const std::string appDir = "/klipfang";
  std::string path;
  try {
    path = kf::windows::picturePath(appDir, address);
  } catch (const kf::Error &) {
    return 0;
  }
  const std::string folder = kf::windows::pictureFolder(appDir) + "/";
  if (path.compare(0, folder.size(), folder) != 0) kf::fuzz::fail("the picture lies outside its folder");
  const std::string file = path.substr(folder.size());
  if (file != name || file.empty() || file == "." || file == "..") kf::fuzz::fail("the picture file is no plain name");
  return 0;
}
