// Klipfang: `klipfang [--site http://HOST[:PORT]]`; the main window is the whole program.
#include <cstdio>

#include "net/site_address.h"
#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "platform/qt/qt_toolkit.h"
#include "windows/command_line.h"
#include "windows/frm_main.h"
#include "windows/own_site.h"

namespace {

// Started from the desktop menu, the user sees no standard error: the reason goes to both.
int refuse(int argc, char **argv, const std::string &reason, int status) {
  std::fprintf(stderr, "klipfang: %s%s", kf::text::toUtf8(reason).c_str(), reason.ends_with('\n') ? "" : "\n");
  if (kf::qtui::haveDisplay())
    kf::qtui::QtToolkit(argc, argv).messageBox(reason, "Klipfang", kf::ui::MessageIcon::Critical);
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  const kf::net::SiteAddress builtIn = kf::net::builtInSiteAddress();
  const kf::windows::CommandLine line = kf::windows::parseCommandLine({argv + 1, argv + argc}, builtIn);
  if (line.action == kf::windows::CommandLine::Action::Help) {
    std::fputs(kf::text::toUtf8(kf::windows::usage(builtIn)).c_str(), stdout);
    return 0;
  }
  if (line.action == kf::windows::CommandLine::Action::Refuse) return refuse(argc, argv, line.complaint, 2);
  if (const auto complaint = kf::windows::guardOwnSite(line.site)) return refuse(argc, argv, *complaint, 1);
  if (!kf::qtui::haveDisplay()) {
    std::fputs("Klipfang braucht einen Bildschirm: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n", stderr);
    return 1;
  }
  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  kf::windows::FrmMain frmMain(toolkit, {kf::files::appDir(), line.site});
  frmMain.start();
  return toolkit.exec();
}
