#include "platform/ui/answered_boxes.h"

#include <iterator>
#include <utility>

namespace kf::ui {

void AnsweredBoxes::keep(Message box) {
  shown_.push_back(std::move(box));
  // A copy: the handler may show another box, which moves the ones kept.
  if (whileShown) whileShown(Message(shown_.back()));
}

void AnsweredBoxes::message(Message box) {
  box.question = false;
  keep(std::move(box));
}

bool AnsweredBoxes::question(OpenQuestion &question, const std::string &title) {
  const std::size_t at = shown_.size();
  question.onChange = [this, at, &question] {
    shown_[at].text = question.text();
    shown_[at].withdrawn = question.withdrawn();
  };
  keep({question.text(), title, MessageIcon::Question, true});
  question.onChange = nullptr;
  if (question.withdrawn() || answers_.empty()) return false;
  const bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}

std::vector<Message> AnsweredBoxes::take() {
  std::vector<Message> since(std::next(shown_.begin(), static_cast<std::ptrdiff_t>(taken_)), shown_.end());
  taken_ = shown_.size();
  return since;
}

}  // namespace kf::ui
