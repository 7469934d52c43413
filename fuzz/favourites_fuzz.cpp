// dat/fav.kf with any content. Loading never fails, a file it cannot take is kept aside whole, and
// what it loads survives a save and a second load row for row.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_input.h"
#include "platform/os/files.h"
#include "scratch_folder.h"
#include "store/favourites_file.h"

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string &appDir = kf::fuzz::scratchFolder();
  const std::string dataDir = kf::files::join(appDir, "dat");
  if (!kf::files::folderExists(dataDir)) kf::files::createFolder(dataDir);
  kf::fuzz::writeScratchFile("dat/fav.kf", data, size);

  kf::video::VideoList loaded;
  if (kf::store::LoadFavourites(loaded, appDir)) {
    // Taken away again, so that the next input finds the name free.
    const std::string aside = kf::files::join(dataDir, "fav.kf.unlesbar");
    std::ifstream kept(aside, std::ios::binary);
    std::ostringstream read;
    read << kept.rdbuf();
    if (read.str() != std::string(reinterpret_cast<const char *>(data), size)) {
      kf::fuzz::fail("a file that could not be loaded was not kept whole");
    }
    std::filesystem::remove(aside);
  }
  kf::store::SaveFavourites(loaded, appDir);
  kf::video::VideoList reloaded;
  if (kf::store::LoadFavourites(reloaded, appDir)) kf::fuzz::fail("saved favourites could not be loaded");
  if (reloaded.entries() != loaded.entries()) kf::fuzz::fail("saved favourites came back different");
  return 0;
}
