// The program as main() starts it, on the Qt toolkit, with a stopwatch, driven one step at a time by
// bench_app_start, which measures the memory of this process and its helpers between the steps:
//
//   bench_app_start_program <site root> <site root bare> <program folder> <search words> <pages>
//
// Says on standard output, one line each:
//   "shown <ns>"  the main window has been shown and painted and the event loop has gone round once
//                 more (CLOCK_MONOTONIC, comparable with the parent's clock); then waits for a line
//                 on standard input;
//   "rows <n>"    after a search of <pages> pages;
//   "watching"    the first result is being played in the video window, and runs on until killed.

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "monotonic_ns.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/qt/window_peer.h"
#include "windows/frm_main.h"

namespace {

// Notes the first paint of the watched widget.
class PaintWatch : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char **argv) {
  const long long mainNs = kf::bench::monotonicNs();
  if (argc != 6) {
    std::fputs("usage: bench_app_start_program <root> <root bare> <folder> <words> <pages>\n", stderr);
    return 2;
  }
  const kf::net::SiteAddress site{argv[1], argv[2]};
  const std::string folder = argv[3];
  const std::string words = argv[4];
  const int pages = std::stoi(argv[5]);

  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  kf::windows::FrmMain frmMain(toolkit, {folder, site});
  frmMain.start();

  QWidget *window = kf::qtui::widgetOf(frmMain.controls.window);
  PaintWatch paints;
  window->installEventFilter(&paints);
  // The window system exposes the window through the event loop; the timer only makes sure the
  // wait wakes up, should the expose come without a further event behind it.
  QTimer wakeUp;
  wakeUp.start(std::chrono::milliseconds(20));
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!(paints.painted && window->windowHandle() && window->windowHandle()->isExposed())) {
    if (std::chrono::steady_clock::now() > giveUp) {
      std::fputs("the main window was never shown\n", stderr);
      toolkit.endProcess(1);
    }
    toolkit.waitForEvent();
  }
  toolkit.doEvents();
  const long long shownNs = kf::bench::monotonicNs();
  wakeUp.stop();
  std::cout << "main " << mainNs << "\nshown " << shownNs << std::endl;
  std::string go;
  if (!std::getline(std::cin, go)) toolkit.endProcess(1);

  frmMain.settings.respages = static_cast<std::int16_t>(pages);
  frmMain.controls.txtSearch.setText(words);
  frmMain.controls.cmdSearch.click();
  std::cout << "rows " << frmMain.controls.lstResult.count() << std::endl;

  frmMain.controls.lstResult.clickItem(1);
  frmMain.controls.cmdWatch.click();
  std::cout << "watching" << std::endl;
  return toolkit.exec();
}
