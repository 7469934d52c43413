// sets.cfg as the program finds it beside itself, with any content. A file that cannot be trusted
// ends the program after one message and changes nothing; one that loads survives a save unchanged.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "platform/ui/headless_toolkit.h"
#include "scratch_folder.h"
#include "store/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  kf::ui::HeadlessToolkit tk;
  kf::ui::setToolkit(tk);
  const std::string &appDir = kf::fuzz::scratchFolder();
  kf::fuzz::writeScratchFile("sets.cfg", data, size);

  const kf::store::Settings before{7, true, false, true};
  kf::store::Settings settings = before;
  try {
    kf::store::LoadSettings(settings, appDir);
  } catch (const kf::ui::ProcessEnded &) {
    if (!(settings == before)) kf::fuzz::fail("a refused file changed the settings");
    if (tk.boxes.shown().size() != 1) kf::fuzz::fail("a refused file did not give exactly one message");
    return 0;
  }
  if (!tk.boxes.shown().empty()) kf::fuzz::fail("a loaded file gave a message");

  kf::store::SaveSettings(settings, appDir);
  kf::store::Settings reloaded;
  kf::store::LoadSettings(reloaded, appDir);
  if (!(reloaded == settings)) kf::fuzz::fail("saved settings came back different");
  return 0;
}
