// The program as a user meets it, in a process of its own because closing its window ends the
// process: the main window on the Qt toolkit against the bundled site, closed through Qt while a
// command waits on an answer that trickles in one byte a second. The close saves and ends the
// process with 0; a command that came back before the close ends the probe with 3.
//
//   windows_close_probe PROGRAM_FOLDER    (KF_PROBE_WAIT: page, link or picture)
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <string>

#include "platform/qt/qt_toolkit.h"
#include "platform/qt/window_peer.h"
#include "site/faults/faulty_server.h"
#include "support/local_site.h"
#include "windows/frm_main.h"

int main(int argc, char **argv) {
  if (argc != 2 || !std::getenv("KF_PROBE_WAIT")) return 2;
  const std::string wait = std::getenv("KF_PROBE_WAIT");
  kf::site::FaultyServer site;
  const int port = site.start();
  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  // A box nobody answers would hold the probe; a close that came too late is told by the exit code.
  toolkit.answering = true;
  kf::windows::FrmMain frm(toolkit, {argv[1], kf::test::localSiteAddress(port)});
  frm.start();
  frm.settings.respages = 1;
  frm.controls.txtSearch.setText("klipfang");
  frm.controls.cmdSearch.click();
  if (frm.controls.lstResult.count() == 0) return 4;
  frm.controls.lstResult.select(1);

  // What the close interrupts: the fetch of result page 2 with the video and settings windows open,
  // the watch page behind the file link, or the preview picture.
  const std::string trickled = wait == "page" ? "page=2" : wait == "link" ? "/watch" : "/vi/";
  // A setting changed in this run: the close saves what the program holds.
  frm.settings.respages = 2;
  site.setFault({"GET", trickled, 0}, kf::site::Fault::Trickle);
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (const auto &request : site.requests()) {
      if (request.method == "GET" && request.target.find(trickled) != std::string::npos) {
        kf::qtui::widgetOf(frm.controls.window)->close();
      }
    }
  });
  closer.start(20);
  if (wait == "page") {
    frm.controls.cmdWatch.click();
    frm.controls.cmdSets.click();
    frm.controls.cmdSearch.click();
  } else if (wait == "link") {
    frm.controls.cmdDll.click();
  } else {
    frm.controls.lstResult.clickItem(1);
  }
  return 3;
}
