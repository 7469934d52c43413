#pragma once
// What the program asks of the window system beyond single controls: pending events, the
// application-wide mouse pointer, message boxes and questions, the clipboard and the end of the process.
// One toolkit serves the whole process; the program sets it once at start, a test per test.
#include <exception>
#include <functional>
#include <string>

#include "platform/base/post_to_window.h"
#include "platform/ui/window.h"

namespace kf::ui {

enum class MessageIcon { None, Critical, Exclamation, Information, Question };

// A message box or a question as the user sees it. Texts are Windows-1252.
struct Message {
  std::string text;
  std::string title;
  MessageIcon icon = MessageIcon::None;
  bool question = false;   // a question answered "Ja" or "Nein", with the icon Question
  bool withdrawn = false;  // a question the program took back while it was open
};

// A question whose words the program keeps true while the user reads it: what it asks about may
// change meanwhile. The program changes its words, or withdraws it once there is nothing left to ask;
// the toolkit that shows it follows through onChange, which it sets for that time.
class OpenQuestion {
 public:
  explicit OpenQuestion(std::string text) : text_(std::move(text)) {}
  const std::string &text() const { return text_; }
  void setText(std::string value);
  bool withdrawn() const { return withdrawn_; }
  void withdraw();

  std::function<void()> onChange;

 private:
  std::string text_;
  bool withdrawn_ = false;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Gives a real toolkit the chance to mirror a new window or control.
  virtual void attachWindow(Window &) {}
  virtual void attachControl(Window &, Control &) {}

  // Handles what is pending and returns at once.
  virtual void doEvents() = 0;
  // Blocks until at least one event has been handled; never spins the processor.
  virtual void waitForEvent() = 0;
  // Runs `task` on the user-interface thread at its next doEvents() or waitForEvent(). Safe to call
  // from any thread: it is how background transfers report back.
  virtual void post(std::function<void()> task) = 0;
  // post() as a callable, for the transfers and listeners below the window model.
  PostToWindow poster() {
    return [this](std::function<void()> task) { post(std::move(task)); };
  }

  virtual void setMousePointer(MousePointer pointer) = 0;

  // Every box the program shows the user comes through these two. Texts are Windows-1252.
  // A modal message box with an OK button.
  virtual void messageBox(const std::string &text, const std::string &title, MessageIcon icon) = 0;
  // A modal question the user answers with "Ja" (true) or "Nein": "Nein" is the default, and
  // closing the box answers it.
  bool askYesNo(const std::string &question, const std::string &title);
  // The same, showing the question's words as they change; a question withdrawn while open closes
  // and answers false.
  virtual bool askYesNo(OpenQuestion &question, const std::string &title) = 0;

  virtual void clearClipboard() = 0;
  virtual void setClipboardText(const std::string &text) = 0;

  // Ends the process at once: nothing of the program runs after it.
  [[noreturn]] virtual void endProcess(int exitCode) = 0;
};

Toolkit &toolkit();
void setToolkit(Toolkit &toolkit);

// The last guard where the toolkit hands an event to the program: a failure no handler caught is told
// in a message box with its reason, and the program goes on with its next event rather than end
// with the user's unsaved favourites.
void tellUncaughtFailure(Toolkit &toolkit, const std::exception_ptr &failure);

}  // namespace kf::ui
