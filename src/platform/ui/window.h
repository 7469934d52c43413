#pragma once
// A window of the program: its look, its client size in twips, the controls it owns and the events of
// the window itself. Controls are created through add<>(), which hands each to the toolkit so that a
// real toolkit can mirror it at once.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"

namespace kf::ui {

class Toolkit;

enum class MousePointer { Default = 0, Hourglass = 11 };

// Key codes and shift states as the program's handlers get them; letters and digits are their
// upper-case characters ('D').
namespace keys {
constexpr int kTab = 9;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kDelete = 46;
constexpr int kMenu = 93;
constexpr int kF6 = 117;
constexpr int kF10 = 121;
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;
}  // namespace keys

struct WindowStyle {
  bool sizable = true;      // false: a fixed-size window that the user cannot resize or maximise
  bool toolWindow = false;  // small title bar with a close box only
  bool showInTaskbar = true;
  bool centred = false;  // placed in the middle of the screen when shown
  // A window the user reads or answers and closes again (the settings, the about window) is a
  // dialog to assistive technology; every other is a frame.
  bool dialog = false;
  std::uint32_t background = rgb(255, 255, 255);
  std::string icon;  // asset name; empty for no icon
  // A sizable window is never made smaller than this client area (twips; 0: no limit).
  float smallestClientWidth = 0;
  float smallestClientHeight = 0;
};

class WindowPeer {
 public:
  virtual ~WindowPeer() = default;
  virtual void show() = 0;
  virtual void close() = 0;
  virtual void bringToFront() = 0;
  virtual void captionChanged() = 0;
  virtual void topmostChanged() = 0;
  virtual void mousePointerChanged() = 0;
};

class Window {
 public:
  Window(Toolkit &toolkit, std::string name, std::string caption, float clientWidth, float clientHeight,
         WindowStyle style);
  virtual ~Window();
  Window(const Window &) = delete;
  Window &operator=(const Window &) = delete;

  template <class T>
  T &add(std::string name, Control *container, Geometry geometry, int tabIndex = -1) {
    auto control = std::make_unique<T>(std::move(name), container, geometry, tabIndex);
    T &ref = *control;
    controls_.push_back(std::move(control));
    attached(ref);
    return ref;
  }
  const std::vector<std::unique_ptr<Control>> &controls() const { return controls_; }
  Control *find(const std::string &name) const;

  const std::string &name() const { return name_; }
  const std::string &caption() const { return caption_; }
  void setCaption(std::string value);
  const WindowStyle &style() const { return style_; }
  float clientWidth() const { return clientWidth_; }
  float clientHeight() const { return clientHeight_; }

  // Shows the window (modeless); a window that is open already comes to the front. The first show
  // raises the resize event and puts the focus on the first control in tab order that takes it.
  void show();
  bool isOpen() const { return open_; }
  // Closes the window: by the program, or by the user through the close box (the peer calls it).
  void close();
  // The user asks to close the window (the close box): closes it unless onCloseRequest answers
  // false. Answers whether the window closed.
  bool requestClose();

  // Kept above all other windows of the desktop.
  void setTopmost(bool value);
  bool topmost() const { return topmost_; }

  MousePointer mousePointer() const { return pointer_; }
  void setMousePointer(MousePointer value);

  Control *focused() const { return focused_; }
  void setFocus(Control &control);
  // The user moved the keyboard to `control`, or to none of the controls (nullptr); the peer tells
  // it, so nothing is moved on screen.
  void focusMovedTo(Control *control) { focused_ = control; }

  // A key of the window's own: pressed anywhere in the window, or only while `within` or a control
  // inside it has the keyboard, it runs `action`, and the control never sees the key. A key bound
  // within a control goes before the same key bound for the whole window.
  void bindKey(int keyCode, int shift, std::function<void()> action, const Control *within = nullptr);
  // A key pressed while the focused control has the keyboard: runs the key's action and answers
  // true, or answers false for a key the window has none for.
  bool keyDown(int keyCode, int shift = 0);
  // While a control in `container` has the keyboard, Tab and the arrow keys move it round the
  // container's controls in tab order and never out of it (Shift+Tab, Left and Up backwards).
  void keepKeyboardWithin(const Control &container);

  // The client area changed size: by the user, by the window system (minimised: 0 x 0) or by a test.
  void resized(float clientWidth, float clientHeight);

  std::function<void()> onResize;
  std::function<void()> onClose;
  // Asked before the user's close goes ahead; false keeps the window open. The program's own close
  // is not asked.
  std::function<bool()> onCloseRequest;

  // Esc pressed while the window has the keyboard, whichever of its controls holds the focus; that
  // control still gets the key.
  std::function<void()> onEscape;
  void escape();
  // The left mouse button pressed in the window, before the control under the pointer sees it:
  // `control` is the innermost control there, nullptr for the window's own surface.
  std::function<void(Control *control)> onLeftMouseDown;
  void leftMouseDown(Control *control);

  void attach(std::unique_ptr<WindowPeer> peer) { peer_ = std::move(peer); }
  WindowPeer *peer() const { return peer_.get(); }
  Toolkit &toolkit() const { return toolkit_; }

 private:
  void attached(Control &control);
  Control *firstInTabOrder() const;
  void moveFocusWithin(const Control &container, int step);

  struct KeyBinding {
    int keyCode;
    int shift;
    std::function<void()> action;
    const Control *within;
  };

  Toolkit &toolkit_;
  std::string name_;
  std::string caption_;
  float clientWidth_;
  float clientHeight_;
  WindowStyle style_;
  bool open_ = false;
  bool everShown_ = false;
  bool topmost_ = false;
  MousePointer pointer_ = MousePointer::Default;
  Control *focused_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<KeyBinding> keys_;
  std::unique_ptr<WindowPeer> peer_;
};

}  // namespace kf::ui
