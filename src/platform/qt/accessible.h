#pragma once
// What assistive technology is told of the widgets whose account by Qt would mislead a screen reader:
// a window made of a plain widget is told as a "filler", a link label as a label, and a drop-down list
// is called by its value rather than its name. The peers make these widgets; the factory that tells
// them is installed once with the toolkit.
#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <functional>

namespace kf::qtui {

// Which of these a widget is, kept in a property of its own: the factory is asked about every object,
// the web engine's too, whose classes carry no type information to cast by.
enum class Account { None, Window, Label, ComboBox };
void markAccount(QObject &widget, Account account);

// The top-level widget of a window: a frame to assistive technology, or a dialog.
class WindowSurface : public QWidget {
 public:
  WindowSurface(bool dialog, Qt::WindowFlags flags) : QWidget(nullptr, flags), dialog_(dialog) {
    markAccount(*this, Account::Window);
  }
  bool dialog() const { return dialog_; }

 private:
  bool dialog_;
};

// A label's widget. A link is told as a link, and a screen reader's press clicks it.
class LabelWidget : public QLabel {
 public:
  explicit LabelWidget(QWidget *parent) : QLabel(parent) { markAccount(*this, Account::Label); }
  bool link = false;
  std::function<void()> press;
};

// A drop-down list's widget: named like every other input, with the entry shown as its value.
class ComboWidget : public QComboBox {
 public:
  explicit ComboWidget(QWidget *parent) : QComboBox(parent) { markAccount(*this, Account::ComboBox); }
};

// Installs the factory of these widgets' accounts; later calls do nothing.
void installAccessibility();

}  // namespace kf::qtui
