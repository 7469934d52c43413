// klipfang-fetch: the browser program Klipfang starts for an address. Started visible (the about
// window's homepage link) it hands the page to the desktop's browser. Started hidden (a download) it
// shows the downloads window with a row for the address; when that window is up already, it hands
// the address over to it and ends.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/desktop/desktop_open.h"
#include "platform/os/desktop/download_folder.h"
#include "platform/os/desktop/notify.h"
#include "platform/os/shell/shell_execute.h"
#include "platform/qt/qt_toolkit.h"
#include "windows/downloads/frm_downloads.h"
#include "windows/downloads/window_claim.h"

namespace {

// The show mode was meant for this program alone: nothing it starts inherits it.
bool takeShowMode() {
  const char *mode = std::getenv(kf::shell::kShowModeVariable);
  const bool visible = mode != nullptr && std::string_view(mode) != "0";
  // NOLINTNEXTLINE(concurrency-mt-unsafe): the first thing the program does, before any thread runs
  ::unsetenv(kf::shell::kShowModeVariable);
  return visible;
}

bool isWebAddress(std::string_view address) {
  const std::string scheme = kf::text::lower(address.substr(0, address.find(':')));
  return (scheme == "http" || scheme == "https") && address.substr(scheme.size()).starts_with("://");
}

// Only web pages go to the browser: a local file or another scheme handed to the desktop's opener
// could start a program.
int openPage(const std::string &address) {
  if (!isWebAddress(address)) {
    std::fprintf(stderr, "klipfang-fetch: keine Webadresse: %s\n", address.c_str());
    return 2;
  }
  return kf::desktop::becomeDesktopOpener(address);
}

std::string title() {
  return kf::text::cp1252(u8"Klipfang – Downloads");
}

int showDownloads(int &argc, char **argv, const std::string &address) {
  std::optional<kf::downloads::WindowClaim> claim;
  try {
    claim = kf::downloads::WindowClaim::claimOrHandOver(address);
  } catch (const kf::Error &e) {
    // Whether another window is up cannot be told: a window of its own could be a second one.
    std::fprintf(stderr, "klipfang-fetch: %s\n", kf::text::toUtf8(e.description()).c_str());
    kf::qtui::QtToolkit(argc, argv).messageBox(e.description(), title(), kf::ui::MessageIcon::Critical);
    return 1;
  }
  if (!claim) return 0;
  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  const std::string folder = kf::desktop::downloadFolder();
  std::error_code ignored;  // a folder that cannot be made shows when the file cannot be created in it
  std::filesystem::create_directories(folder, ignored);

  kf::downloads::FrmDownloads frm(toolkit, folder, {kf::desktop::openWithDesktop, kf::desktop::notifyDesktop});
  std::unique_ptr<kf::instance::HandOverServer> server =
      claim->listen([&frm](const std::string &handed) { return frm.add(handed); });
  frm.onClosed = [&] {
    // No later start may hand its address to a window that is gone.
    server.reset();
    toolkit.endProcess(0);
  };
  frm.add(address);
  return toolkit.exec();
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: klipfang-fetch ADRESSE\n");
    return 2;
  }
  const std::string address = argv[1];
  if (takeShowMode()) return openPage(address);
  if (!kf::qtui::haveDisplay()) {
    std::fputs("klipfang-fetch braucht einen Bildschirm: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n", stderr);
    return 1;
  }
  return showDownloads(argc, argv, address);
}
