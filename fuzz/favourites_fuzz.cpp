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
#include "platform/ui/controls.h"
#include "platform/ui/headless_toolkit.h"
#include "scratch_folder.h"
#include "store/favourites_file.h"
#include "video/video_rows.h"

namespace {

// A loaded row shows all five fields of its video, those the line lacked as empty ones.
constexpr std::size_t kLoadedFields = 5;

kf::ui::ListView makeList() {
  return kf::ui::ListView("lstFavs", nullptr, {0, 0, 4000, 3000}, 0);
}

bool sameRows(const kf::ui::ListView &a, const kf::ui::ListView &b) {
  if (a.count() != b.count()) return false;
  for (int row = 1; row <= a.count(); ++row) {
    if (a.item(row).text != b.item(row).text) return false;
    if (kf::video::videoAt(a, row) != kf::video::videoAt(b, row)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  kf::ui::HeadlessToolkit tk;
  kf::ui::setToolkit(tk);
  const std::string &appDir = kf::fuzz::scratchFolder();
  const std::string dataDir = kf::files::join(appDir, "dat");
  if (!kf::files::folderExists(dataDir)) kf::files::createFolder(dataDir);
  kf::fuzz::writeScratchFile("dat/fav.kf", data, size);

  kf::ui::ListView loaded = makeList();
  kf::store::LoadFavourites(loaded, appDir);
  if (!tk.boxes.shown().empty()) {
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
  for (int row = 1; row <= loaded.count(); ++row) {
    if (loaded.item(row).subItems.size() != kLoadedFields) kf::fuzz::fail("a row lacks fields");
  }

  kf::store::SaveFavourites(loaded, appDir);
  kf::ui::ListView reloaded = makeList();
  kf::store::LoadFavourites(reloaded, appDir);
  if (!sameRows(loaded, reloaded)) kf::fuzz::fail("saved favourites came back different");
  if (tk.boxes.shown().size() > 1) kf::fuzz::fail("saved favourites could not be loaded");
  return 0;
}
