#pragma once
// Message boxes and questions that nobody sees. A toolkit under test keeps every box it is asked to
// show and answers it at once: a message with its one button (OK), a question with the answer a test
// queued for it, else "Nein", as closing the box would. The headless toolkit answers every box so,
// the Qt toolkit while its tests have it answer (QtToolkit::answering); tests queue the answers and
// read the boxes through the toolkit's `boxes`.
#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

#include "platform/ui/toolkit.h"

namespace kf::ui {

class AnsweredBoxes {
 public:
  // The answer to the next question that has none yet: true for "Ja".
  void answerNext(bool yes) { answers_.push_back(yes); }

  void message(Message box);
  // The box kept follows the question's words while it is open; a question withdrawn meanwhile
  // takes no answer.
  bool question(OpenQuestion &question, const std::string &title);

  // Every box so far, oldest first.
  const std::vector<Message> &shown() const { return shown_; }
  // The boxes since the last take(), oldest first.
  std::vector<Message> take();

  // Runs while each box is open, before it is answered: where the user could act meanwhile.
  std::function<void(const Message &)> whileShown;

 private:
  void keep(Message box);

  std::deque<bool> answers_;
  std::vector<Message> shown_;
  std::size_t taken_ = 0;
};

}  // namespace kf::ui
