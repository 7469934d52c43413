#include "windows/store_messages.h"

#include "platform/ui/toolkit.h"
#include "store/save_failure.h"

namespace kf::windows {

void tellNotice(const std::optional<std::string> &notice) {
  if (notice) ui::toolkit().messageBox(*notice, "Klipfang", ui::MessageIcon::Exclamation);
}

void saveTelling(const std::function<void()> &save) {
  try {
    save();
  } catch (const store::SaveFailed &failure) {
    ui::toolkit().messageBox(failure.description(), "Klipfang", ui::MessageIcon::Critical);
  }
}

}  // namespace kf::windows
