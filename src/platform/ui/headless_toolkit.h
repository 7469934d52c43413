#pragma once
// The toolkit without a screen: windows and controls live only in memory, message boxes and questions
// are kept and answered instead of shown (AnsweredBoxes), and tests fire events through the controls'
// own methods. Tests and benchmarks run the program's handlers on it.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/answered_boxes.h"
#include "platform/ui/toolkit.h"

namespace kf::ui {

// Thrown by endProcess() so that a test sees the program end without losing its own process.
struct ProcessEnded {
  int exitCode;
};

class HeadlessToolkit : public Toolkit {
 public:
  void doEvents() override;
  void waitForEvent() override;
  void post(std::function<void()> task) override;

  void setMousePointer(MousePointer pointer) override;

  void messageBox(const std::string &text, const std::string &title, MessageIcon icon) override;
  using Toolkit::askYesNo;
  bool askYesNo(OpenQuestion &question, const std::string &title) override;

  void clearClipboard() override;
  void setClipboardText(const std::string &text) override;

  [[noreturn]] void endProcess(int exitCode) override;

  // What tests look at. Every box shown, and the answers the next questions get.
  AnsweredBoxes boxes;
  MousePointer mousePointer() const { return pointer_; }
  const std::vector<MousePointer> &pointerHistory() const { return pointerHistory_; }
  int doEventsCount() const { return doEventsCount_; }
  const std::string &clipboardText() const { return clipboard_; }
  int clipboardClears() const { return clipboardClears_; }

  // Runs inside every doEvents(), a point where a user could act in the middle of the program's
  // work (as he can while a box is open: boxes.whileShown). Tests use it to click, type or close there.
  std::function<void()> onDoEvents;

  // How long waitForEvent() waits before it decides the test is stuck.
  int waitLimitSeconds = 120;

 private:
  bool runPosted();

  MousePointer pointer_ = MousePointer::Default;
  std::vector<MousePointer> pointerHistory_;
  std::string clipboard_;
  int clipboardClears_ = 0;
  int doEventsCount_ = 0;

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace kf::ui
