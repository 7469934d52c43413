// A one-line text box: typed text goes to the control as Windows-1252, and every key press is
// reported to the program before the box handles it.
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"

namespace kf::qtui {
namespace {

class TextBoxPeer : public QtControlPeer {
 public:
  TextBoxPeer(ui::TextBox &box, QWidget *parent) : QtControlPeer(box, new QLineEdit(parent)), box_(box) {
    // textEdited comes from the user only, so the program's own setText never echoes back.
    connect(lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { runGuarded([&] { box_.typed(fromQString(text)); }); });
    widget()->installEventFilter(this);
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    if (aspect == ui::Aspect::Text) {
      const QString text = toQString(box_.text());
      // Setting the same text again would move the caret to the end under the user's hands.
      if (lineEdit()->text() != text) lineEdit()->setText(text);
    } else {
      QtControlPeer::update(aspect, index);
    }
  }

  bool eventFilter(QObject * /*watched*/, QEvent *event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto &key = *static_cast<QKeyEvent *>(event);
      if (const int code = keyCode(key)) runGuarded([&] { box_.keyDown(code, shiftState(key.modifiers())); });
    }
    return false;
  }

 private:
  QLineEdit *lineEdit() const { return static_cast<QLineEdit *>(widget()); }
  ui::TextBox &box_;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeTextBoxPeer(ui::Control &control, QWidget *parent) {
  if (control.kind() != ui::Kind::TextBox) return nullptr;
  return std::make_unique<TextBoxPeer>(static_cast<ui::TextBox &>(control), parent);
}

}  // namespace kf::qtui
