#pragma once
// The toolkit without a screen: windows and controls live only in memory, message boxes are recorded
// instead of shown, and tests fire events through the controls' own methods. Tests and benchmarks run
// the program's handlers on it.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/toolkit.h"

namespace kf::ui {

// Thrown by endProcess() so that a test sees the program end without losing its own process.
struct ProcessEnded {
  int exitCode;
};

class HeadlessToolkit : public Toolkit {
 public:
  using Message = ui::Message;

  void doEvents() override;
  void waitForEvent() override;
  void post(std::function<void()> task) override;

  void setMousePointer(MousePointer pointer) override;
  MousePointer mousePointer() const override { return pointer_; }

  void messageBox(const std::string &text, const std::string &title, MessageIcon icon) override;

  void clearClipboard() override;
  void setClipboardText(const std::string &text) override;
  std::string clipboardText() const override { return clipboard_; }

  [[noreturn]] void endProcess(int exitCode) override;

  // What tests look at.
  const std::vector<Message> &messages() const { return messages_; }
  const std::vector<MousePointer> &pointerHistory() const { return pointerHistory_; }
  int doEventsCount() const { return doEventsCount_; }
  int clipboardClears() const { return clipboardClears_; }

  // Runs inside every doEvents() and every message box, the points where a user could act in the
  // middle of the program's work. Tests use it to click, type or close at such a point.
  std::function<void()> onDoEvents;
  std::function<void(const Message &)> onMessageBox;

  // How long waitForEvent() waits before it decides the test is stuck.
  int waitLimitSeconds = 120;

 private:
  bool runPosted();

  MousePointer pointer_ = MousePointer::Default;
  std::vector<MousePointer> pointerHistory_;
  std::vector<Message> messages_;
  std::string clipboard_;
  int clipboardClears_ = 0;
  int doEventsCount_ = 0;

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace kf::ui
