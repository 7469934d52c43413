// The program as main() starts it, on the Qt toolkit, with a stopwatch: it tells bench_app_start
// when its main window has been shown and painted and the event loop has gone round once more, how
// much memory the process holds then, and again after one search of the site.
//
//   bench_app_start_program <site root> <site root bare> <program folder> <search words> <pages> <figures file>
//
// Writes the figures file, one "key value" pair a line: main_ns and shown_ns (CLOCK_MONOTONIC,
// comparable with the parent's clock), rss_start_kib, rss_search_kib and rows.

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/frm_main.h"
#include "monotonic_ns.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/qt/window_peer.h"

namespace {

// VmRSS of this process in KiB; -1 when /proc does not tell.
long residentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

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
  if (argc != 7) {
    std::fputs("usage: bench_app_start_program <root> <root bare> <folder> <words> <pages> <figures file>\n", stderr);
    return 2;
  }
  const kf::net::SiteAddress site{argv[1], argv[2]};
  const std::string folder = argv[3];
  const std::string words = argv[4];
  const int pages = std::stoi(argv[5]);
  const std::string figuresFile = argv[6];

  kf::qtui::QtToolkit toolkit(argc, argv);
  kf::ui::setToolkit(toolkit);
  kf::app::FrmMain frmMain(toolkit, {folder, site});
  frmMain.start();

  QWidget *window = kf::qtui::widgetOf(frmMain.c.window);
  PaintWatch paints;
  window->installEventFilter(&paints);
  // The offscreen platform exposes the window through the event loop; the timer only makes sure
  // the wait wakes up, should the expose come without a further event behind it.
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
  const long rssStart = residentKiB();

  frmMain.settings.respages = static_cast<std::int16_t>(pages);
  frmMain.c.txtSearch.setText(words);
  frmMain.c.cmdSearch.click();
  const long rssSearch = residentKiB();

  std::ofstream(figuresFile) << "main_ns " << mainNs << "\nshown_ns " << shownNs << "\nrss_start_kib " << rssStart
                             << "\nrss_search_kib " << rssSearch << "\nrows " << frmMain.c.lstResult.count() << "\n";
  // The program's own way out: the process ends at once, the browser's helper processes with it.
  toolkit.endProcess(0);
}
