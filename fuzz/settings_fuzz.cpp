// sets.cfg as the program finds it beside itself, with any content. A file that cannot be trusted
// is refused and changes nothing; one that loads survives a save unchanged.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "scratch_folder.h"
#include "store/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string &appDir = kf::fuzz::scratchFolder();
  kf::fuzz::writeScratchFile("sets.cfg", data, size);

  const kf::store::Settings before{7, true, false, true};
  kf::store::Settings settings = before;
  try {
    kf::store::LoadSettings(settings, appDir);
  } catch (const kf::store::SettingsUnreadable &) {
    if (!(settings == before)) kf::fuzz::fail("a refused file changed the settings");
    return 0;
  }

  kf::store::SaveSettings(settings, appDir);
  kf::store::Settings reloaded;
  kf::store::LoadSettings(reloaded, appDir);
  if (!(reloaded == settings)) kf::fuzz::fail("saved settings came back different");
  return 0;
}
