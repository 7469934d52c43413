// Klipfang: started without arguments; the main window is the whole program.
#include <cstdio>
#include <cstdlib>

#include "app/frm_main.h"
#include "net/site_address.h"
#include "platform/files.h"
#include "platform/qt/qt_toolkit.h"

namespace {

bool haveDisplay() {
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char **argv) {
  if (!haveDisplay()) {
    std::fputs("Klipfang braucht einen Bildschirm: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n", stderr);
    return 1;
  }
  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  kf::app::FrmMain frmMain(toolkit, {kf::files::appDir(), kf::net::builtInSiteAddress()});
  frmMain.start();
  return toolkit.exec();
}
