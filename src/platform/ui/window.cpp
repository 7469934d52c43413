#include "platform/ui/window.h"

#include <algorithm>

#include "platform/ui/toolkit.h"

namespace kf::ui {

Window::Window(Toolkit &toolkit, std::string name, std::string caption, float clientWidth, float clientHeight,
               WindowStyle style)
    : toolkit_(toolkit),
      name_(std::move(name)),
      caption_(std::move(caption)),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight),
      style_(std::move(style)) {
  toolkit_.attachWindow(*this);
}

// Controls go before the peer: a real toolkit's window owns the widgets the control peers point to.
Window::~Window() {
  for (auto &control : controls_) control->attach(nullptr);
  peer_.reset();
}

Control *Window::find(const std::string &name) const {
  for (const auto &control : controls_) {
    if (control->name() == name) return control.get();
  }
  return nullptr;
}

void Window::attached(Control &control) {
  toolkit_.attachControl(*this, control);
}

void Window::setCaption(std::string value) {
  caption_ = std::move(value);
  if (peer_) peer_->captionChanged();
}

Control *Window::firstInTabOrder() const {
  Control *first = nullptr;
  for (const auto &control : controls_) {
    if (!control->takesFocus() || !control->visible()) continue;
    if (!first || control->tabIndex() < first->tabIndex()) first = control.get();
  }
  return first;
}

void Window::show() {
  if (open_) {
    if (peer_) peer_->bringToFront();
    return;
  }
  open_ = true;
  const bool first = !everShown_;
  everShown_ = true;
  if (peer_) peer_->show();
  if (first) {
    if (onResize) onResize();
    if (Control *start = firstInTabOrder()) setFocus(*start);
  }
}

void Window::close() {
  if (!open_) return;
  open_ = false;
  if (onClose) onClose();
  if (peer_) peer_->close();
}

bool Window::requestClose() {
  if (!open_) return true;
  if (onCloseRequest && !onCloseRequest()) return false;
  close();
  return true;
}

void Window::setTopmost(bool value) {
  topmost_ = value;
  if (peer_) peer_->topmostChanged();
}

void Window::setMousePointer(MousePointer value) {
  pointer_ = value;
  if (peer_) peer_->mousePointerChanged();
}

void Window::setFocus(Control &control) {
  focused_ = &control;
  if (control.peer()) control.peer()->focus();
}

void Window::resized(float clientWidth, float clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  if (onResize) onResize();
}

void Window::bindKey(int keyCode, int shift, std::function<void()> action, const Control *within) {
  keys_.push_back({keyCode, shift, std::move(action), within});
}

bool Window::keyDown(int keyCode, int shift) {
  const auto inside = [this](const Control *container) {
    for (const Control *control = focused_; control; control = control->container()) {
      if (control == container) return true;
    }
    return false;
  };
  const KeyBinding *found = nullptr;
  for (const KeyBinding &key : keys_) {
    if (key.keyCode != keyCode || key.shift != shift) continue;
    if (key.within && inside(key.within)) {
      found = &key;
      break;
    }
    if (!key.within && !found) found = &key;
  }
  if (!found) return false;
  // The action may bind keys itself; it runs from a copy.
  const std::function<void()> action = found->action;
  action();
  return true;
}

void Window::keepKeyboardWithin(const Control &container) {
  using namespace keys;
  for (const int forward : {kTab, kRight, kDown}) {
    bindKey(
        forward, 0, [this, &container] { moveFocusWithin(container, 1); }, &container);
  }
  for (const int backward : {kLeft, kUp}) {
    bindKey(
        backward, 0, [this, &container] { moveFocusWithin(container, -1); }, &container);
  }
  bindKey(
      kTab, kShift, [this, &container] { moveFocusWithin(container, -1); }, &container);
}

void Window::moveFocusWithin(const Control &container, int step) {
  std::vector<Control *> stops;
  for (const auto &control : controls_) {
    if (control->container() == &container && control->takesFocus() && control->visible()) {
      stops.push_back(control.get());
    }
  }
  if (stops.empty()) return;
  std::stable_sort(stops.begin(), stops.end(),
                   [](const Control *a, const Control *b) { return a->tabIndex() < b->tabIndex(); });
  const auto at = std::find(stops.begin(), stops.end(), focused_);
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  const std::ptrdiff_t from = at == stops.end() ? (step > 0 ? -1 : 0) : at - stops.begin();
  setFocus(*stops[static_cast<std::size_t>((from + step + count) % count)]);
}

void Window::escape() {
  if (onEscape) onEscape();
}

void Window::leftMouseDown(Control *control) {
  if (onLeftMouseDown) onLeftMouseDown(control);
}

}  // namespace kf::ui
