#include "platform/qt/qt_toolkit.h"

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QQuickWindow>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "platform/qt/accessible.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/posted_tasks.h"
#include "platform/qt/window_peer.h"

namespace kf::qtui {
namespace {

// The peers and post() catch what the program's handlers let escape where they call them
// (runGuarded). This is the last guard, for an event that reaches the program some other way: Qt
// cannot carry an exception through its own code, and one escaping it would end the process.
class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int &argc, char **argv, ui::Toolkit &toolkit) : QApplication(argc, argv), toolkit_(toolkit) {}

  bool notify(QObject *receiver, QEvent *event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (...) {
      ui::tellUncaughtFailure(toolkit_, std::current_exception());
      return true;
    }
  }

 private:
  ui::Toolkit &toolkit_;
};

std::unique_ptr<QApplication> makeApplication(int &argc, char **argv, ui::Toolkit &toolkit) {
  if (QApplication::instance()) return nullptr;
  // The embedded browsers draw in software: Chromium composites into memory and Qt's scene graph
  // copies that to the window, so no graphics driver is loaded, on X11 not even for the OpenGL context
  // the web engine makes when the application starts. A driver (llvmpipe where there is no graphics
  // card) held more memory than the rest of the program; a page and a small video draw as fast
  // without. Both have to be said before the application object exists.
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) qputenv("QT_XCB_GL_INTEGRATION", "none");
  // Chromium refuses to start its sandbox for root.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  auto app = std::make_unique<GuardedApplication>(argc, argv, toolkit);
  // The desktop finds the menu entry and its icon for a window by the application's id: Wayland by
  // the entry's name, X11 by the window's class, which Qt takes from the application's name. The
  // downloads helper gives the same id, so its window shows as one of Klipfang's.
  QApplication::setApplicationName(QStringLiteral(KF_APP_ID));
  QGuiApplication::setDesktopFileName(QStringLiteral(KF_APP_ID));
  // Every control's texts were fitted to the windows' own font.
  QApplication::setFont(toQFont(ui::Font{}));
  return app;
}

QMessageBox::Icon qtIcon(ui::MessageIcon icon) {
  switch (icon) {
    case ui::MessageIcon::Critical:
      return QMessageBox::Critical;
    case ui::MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case ui::MessageIcon::Information:
      return QMessageBox::Information;
    case ui::MessageIcon::Question:
      return QMessageBox::Question;
    case ui::MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtToolkit::QtToolkit(int &argc, char **argv)
    : ownApp_(makeApplication(argc, argv, *this)), posted_(std::make_unique<PostedTasks>()) {
  installAccessibility();
}

QtToolkit::~QtToolkit() {
  if (pointer_ == ui::MousePointer::Hourglass) QGuiApplication::restoreOverrideCursor();
  // Windows that went last left their widgets for the event loop to delete; they must go before
  // the application object, the browsers' Chromium pages above all.
  if (ownApp_) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int QtToolkit::exec() {
  return QApplication::exec();
}

void QtToolkit::attachWindow(ui::Window &window) {
  window.attach(std::make_unique<QtWindowPeer>(window));
}

void QtToolkit::attachControl(ui::Window &window, ui::Control &control) {
  QWidget *parent = control.container() ? widgetOf(*control.container()) : nullptr;
  if (!parent) parent = widgetOf(window);
  std::unique_ptr<QtControlPeer> peer = makeControlPeer(control, parent);
  QtControlPeer &made = *peer;
  control.attach(std::move(peer));
  made.showAll();
  // The program's windows were designed with the first control made lying on top, so a control that
  // floats over others (the command panel over the lists, the wait label over the preview) comes
  // before them. Qt stacks the other way round: each new widget goes underneath.
  if (made.widget()) made.widget()->lower();
}

void QtToolkit::doEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtToolkit::waitForEvent() {
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtToolkit::post(std::function<void()> task) {
  posted_->post(std::move(task));
}

// Exactly one override cursor while busy, however often the program asks for the hourglass.
void QtToolkit::setMousePointer(ui::MousePointer pointer) {
  if (pointer == pointer_) return;
  if (pointer == ui::MousePointer::Hourglass) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
  pointer_ = pointer;
}

void QtToolkit::messageBox(const std::string &text, const std::string &title, ui::MessageIcon icon) {
  if (answering) {
    boxes.message({text, title, icon});
    return;
  }
  QMessageBox box(qtIcon(icon), toQString(title), toQString(text), QMessageBox::Ok);
  // Failure descriptions can carry names from the network: shown as they are, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtToolkit::askYesNo(ui::OpenQuestion &question, const std::string &title) {
  if (answering) return boxes.question(question, title);
  QMessageBox box(QMessageBox::Question, toQString(title), toQString(question.text()));
  // The question can name files from the network: shown as it is, never as markup.
  box.setTextFormat(Qt::PlainText);
  // The buttons' own captions: Qt's standard ones follow a translation the program does not load.
  QPushButton *yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
  QPushButton *no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  question.onChange = [&] {
    if (question.withdrawn()) {
      box.reject();
    } else {
      box.setText(toQString(question.text()));
    }
  };
  box.exec();
  question.onChange = nullptr;
  return !question.withdrawn() && box.clickedButton() == yes;
}

bool haveDisplay() {
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

void QtToolkit::clearClipboard() {
  QGuiApplication::clipboard()->clear();
}

void QtToolkit::setClipboardText(const std::string &text) {
  QGuiApplication::clipboard()->setText(toQString(text));
}

void QtToolkit::endProcess(int exitCode) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

}  // namespace kf::qtui
