#pragma once
// The toolkit of the real program: Qt widgets on the screen, Chromium for the embedded browsers.
// main() makes one, hands it to ui::setToolkit(), makes and shows its first window and returns exec().
// Every event reaches the program's handlers through the application object it makes, which tells a
// failure no handler caught (ui::tellUncaughtFailure) instead of letting it end the program.
#include <memory>

#include "platform/ui/answered_boxes.h"
#include "platform/ui/toolkit.h"

class QApplication;

namespace kf::qtui {

class PostedTasks;

// Whether the toolkit has a screen to show windows on: an X or Wayland display, or a Qt platform
// chosen by hand (offscreen, say).
bool haveDisplay();

class QtToolkit : public ui::Toolkit {
 public:
  // Sets up the application object; `argc` must outlive the toolkit, as Qt keeps a reference to it.
  // Where an application object exists already, it is used as it is, without the guard.
  QtToolkit(int &argc, char **argv);
  ~QtToolkit() override;
  QtToolkit(const QtToolkit &) = delete;
  QtToolkit &operator=(const QtToolkit &) = delete;

  // The program's main loop; returns when the application quits.
  int exec();

  void attachWindow(ui::Window &window) override;
  void attachControl(ui::Window &window, ui::Control &control) override;

  void doEvents() override;
  void waitForEvent() override;
  void post(std::function<void()> task) override;

  void setMousePointer(ui::MousePointer pointer) override;

  // On the screen, or answered (below).
  void messageBox(const std::string &text, const std::string &title, ui::MessageIcon icon) override;
  using ui::Toolkit::askYesNo;
  bool askYesNo(ui::OpenQuestion &question, const std::string &title) override;

  // The seam for tests on the real widgets. While `answering` is on, a box is not shown: `boxes`
  // keeps and answers it, as the headless toolkit does. The Qt tests turn it on before their first
  // window, so no test can wait on a box.
  bool answering = false;
  ui::AnsweredBoxes boxes;

  void clearClipboard() override;
  void setClipboardText(const std::string &text) override;

  [[noreturn]] void endProcess(int exitCode) override;

 private:
  std::unique_ptr<QApplication> ownApp_;
  // After the application object, so that it goes first.
  std::unique_ptr<PostedTasks> posted_;
  ui::MousePointer pointer_ = ui::MousePointer::Default;
};

}  // namespace kf::qtui
