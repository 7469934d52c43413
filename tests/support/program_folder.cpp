#include "support/program_folder.h"

#include <filesystem>

namespace kf::test {

ProgramFolder::ProgramFolder() : appDir_(root_.file("app")) {
  std::filesystem::create_directories(appDir_ + "/dat");
  writeFile(file("sets.cfg"), kDeliveredSettings);
  writeFile(file("vid.kf"), kWatchTemplate + "\r\n");
  writeFile(file("dat/fav.kf"), kDeliveredFavourites);
}

std::set<std::string> ProgramFolder::tree() const {
  std::set<std::string> found;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root_.path())) {
    const std::string relative = std::filesystem::relative(entry.path(), root_.path()).string();
    found.insert(entry.is_directory() ? relative + "/" : relative);
  }
  return found;
}

std::unique_ptr<windows::FrmMain> ProgramFolder::start(ui::HeadlessToolkit &toolkit,
                                                       const net::SiteAddress &site) const {
  auto frm = std::make_unique<windows::FrmMain>(toolkit, windows::Environment{appDir_, site});
  frm->start();
  return frm;
}

bool closeMainWindow(windows::FrmMain &frm) {
  try {
    frm.controls.window.close();
  } catch (const ui::ProcessEnded &) {
    return true;
  }
  return false;
}

}  // namespace kf::test
