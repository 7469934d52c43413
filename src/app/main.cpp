// Klipfang: `klipfang [--site http://HOST[:PORT]]`; the main window is the whole program.
#include <cstdio>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "net/site_address.h"
#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "platform/qt/qt_toolkit.h"

int main(int argc, char **argv) {
  const kf::net::SiteAddress builtIn = kf::net::builtInSiteAddress();
  const kf::app::CommandLine line = kf::app::parseCommandLine({argv + 1, argv + argc}, builtIn);
  if (line.action == kf::app::CommandLine::Action::Help) {
    std::fputs(kf::text::toUtf8(kf::app::usage(builtIn)).c_str(), stdout);
    return 0;
  }
  if (line.action == kf::app::CommandLine::Action::Refuse) {
    std::fprintf(stderr, "klipfang: %s", kf::text::toUtf8(line.complaint).c_str());
    // Started from the menu, the user sees no standard error.
    if (kf::qtui::haveDisplay())
      kf::qtui::QtToolkit(argc, argv).messageBox(line.complaint, "Klipfang", kf::ui::MessageIcon::Critical);
    return 2;
  }
  if (!kf::qtui::haveDisplay()) {
    std::fputs("Klipfang braucht einen Bildschirm: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n", stderr);
    return 1;
  }
  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  kf::app::FrmMain frmMain(toolkit, {kf::files::appDir(), line.site});
  frmMain.start();
  return toolkit.exec();
}
