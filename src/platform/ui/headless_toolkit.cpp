#include "platform/ui/headless_toolkit.h"

#include <chrono>
#include <stdexcept>

namespace kf::ui {

bool HeadlessToolkit::runPosted() {
  std::unique_lock lock(mutex_);
  // Most calls find nothing, and a long search makes thousands: an empty queue costs no new one.
  if (queue_.empty()) return false;
  std::deque<std::function<void()>> tasks;
  tasks.swap(queue_);
  lock.unlock();
  for (auto &task : tasks) task();
  return true;
}

void HeadlessToolkit::doEvents() {
  ++doEventsCount_;
  runPosted();
  if (onDoEvents) onDoEvents();
}

void HeadlessToolkit::waitForEvent() {
  {
    std::unique_lock lock(mutex_);
    if (!posted_.wait_for(lock, std::chrono::seconds(waitLimitSeconds), [this] { return !queue_.empty(); })) {
      throw std::runtime_error("headless toolkit: no event arrived while waiting");
    }
  }
  runPosted();
  if (onDoEvents) onDoEvents();
}

void HeadlessToolkit::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
  }
  posted_.notify_all();
}

void HeadlessToolkit::setMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  pointerHistory_.push_back(pointer);
}

void HeadlessToolkit::messageBox(const std::string &text, const std::string &title, MessageIcon icon) {
  boxes.message({text, title, icon});
}

bool HeadlessToolkit::askYesNo(OpenQuestion &question, const std::string &title) {
  return boxes.question(question, title);
}

void HeadlessToolkit::clearClipboard() {
  clipboard_.clear();
  ++clipboardClears_;
}

void HeadlessToolkit::setClipboardText(const std::string &text) {
  clipboard_ = text;
}

void HeadlessToolkit::endProcess(int exitCode) {
  throw ProcessEnded{exitCode};
}

}  // namespace kf::ui
