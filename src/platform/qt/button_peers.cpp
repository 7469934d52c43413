// The controls the user clicks or chooses in: picture buttons, check boxes, option buttons and
// drop-down lists. What the user does goes to the control; what the program sets comes back without
// raising anything.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QToolButton>

#include "platform/qt/accessible.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"
#include "platform/qt/pictures.h"

namespace kf::qtui {
namespace {

class ButtonPeer : public QtControlPeer {
 public:
  ButtonPeer(ui::Button &button, QWidget *parent) : QtControlPeer(button, new QToolButton(parent)), button_(button) {
    auto *tool = static_cast<QToolButton *>(widget());
    tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QPalette palette = tool->palette();
    palette.setColor(QPalette::Button, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    tool->setPalette(palette);
    tool->setAutoFillBackground(true);
    connect(tool, &QToolButton::clicked, this, [this] { runGuarded([this] { button_.click(); }); });
    tool->installEventFilter(this);
  }

 protected:
  // Enter presses a button as Space does: the key a user of the keyboard tries first.
  bool eventFilter(QObject * /*watched*/, QEvent *event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    // The click may end the window and this peer with it: nothing of the peer is touched after it.
    static_cast<QToolButton *>(widget())->click();
    return true;
  }

  void update(ui::Aspect aspect, int index) override {
    auto *tool = static_cast<QToolButton *>(widget());
    if (aspect == ui::Aspect::Text) {
      tool->setText(toQString(button_.caption()));
      tool->setToolButtonStyle(button_.caption().empty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
      return;
    }
    if (aspect != ui::Aspect::Picture) {
      QtControlPeer::update(aspect, index);
      return;
    }
    const QPixmap picture = button_.picture().empty() ? QPixmap() : asset(button_.picture());
    tool->setIcon(QIcon(picture));
    // The picture's own pixel size: a button never scales its picture.
    tool->setIconSize(picture.deviceIndependentSize().toSize());
  }

 private:
  ui::Button &button_;
};

class CheckBoxPeer : public QtControlPeer {
 public:
  CheckBoxPeer(ui::CheckBox &box, QWidget *parent) : QtControlPeer(box, new QCheckBox(parent)), box_(box) {
    connect(checkBox(), &QCheckBox::clicked, this, [this] {
      runGuarded([this] {
        box_.setValue(checkBox()->checkState() == Qt::Checked ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
      });
    });
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    switch (aspect) {
      case ui::Aspect::Text:
        checkBox()->setText(shownText(box_.caption()));
        break;
      case ui::Aspect::Value:
        // Grey is a state only the program sets; a click leaves it for checked or unchecked.
        checkBox()->setTristate(box_.value() == ui::CheckBox::Grayed);
        checkBox()->setCheckState(box_.value() == ui::CheckBox::Checked  ? Qt::Checked
                                  : box_.value() == ui::CheckBox::Grayed ? Qt::PartiallyChecked
                                                                         : Qt::Unchecked);
        break;
      default:
        QtControlPeer::update(aspect, index);
    }
  }

 private:
  QCheckBox *checkBox() const { return static_cast<QCheckBox *>(widget()); }
  ui::CheckBox &box_;
};

class OptionButtonPeer : public QtControlPeer {
 public:
  OptionButtonPeer(ui::OptionButton &option, QWidget *parent)
      : QtControlPeer(option, new QRadioButton(parent)), option_(option) {
    // The options of a group share a container, as Qt's own grouping by parent widget wants: then the
    // group is one stop of the Tab key, and the arrow keys choose within it.
    radio()->setAutoExclusive(true);
    connect(radio(), &QRadioButton::clicked, this, [this] { runGuarded([this] { option_.setValue(true); }); });
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    switch (aspect) {
      case ui::Aspect::Text:
        radio()->setText(shownText(option_.caption()));
        break;
      case ui::Aspect::Value:
        // Qt keeps the checked option of a group checked until another is; the program may clear all.
        radio()->setAutoExclusive(option_.value());
        radio()->setChecked(option_.value());
        radio()->setAutoExclusive(true);
        break;
      default:
        QtControlPeer::update(aspect, index);
    }
  }

 private:
  QRadioButton *radio() const { return static_cast<QRadioButton *>(widget()); }
  ui::OptionButton &option_;
};

class ComboBoxPeer : public QtControlPeer {
 public:
  ComboBoxPeer(ui::ComboBox &combo, QWidget *parent) : QtControlPeer(combo, new ComboWidget(parent)), combo_(combo) {
    comboBox()->setEditable(false);
    connect(comboBox(), &QComboBox::activated, this,
            [this](int index) { runGuarded([&] { combo_.setListIndex(index); }); });
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    switch (aspect) {
      case ui::Aspect::Items:
        comboBox()->clear();
        for (const auto &item : combo_.items()) comboBox()->addItem(shownText(item));
        comboBox()->setCurrentIndex(combo_.listIndex());
        break;
      case ui::Aspect::Value:
        comboBox()->setCurrentIndex(combo_.listIndex());
        break;
      default:
        QtControlPeer::update(aspect, index);
    }
  }

 private:
  QComboBox *comboBox() const { return static_cast<QComboBox *>(widget()); }
  ui::ComboBox &combo_;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeChoicePeer(ui::Control &control, QWidget *parent) {
  switch (control.kind()) {
    case ui::Kind::Button:
      return std::make_unique<ButtonPeer>(static_cast<ui::Button &>(control), parent);
    case ui::Kind::CheckBox:
      return std::make_unique<CheckBoxPeer>(static_cast<ui::CheckBox &>(control), parent);
    case ui::Kind::OptionButton:
      return std::make_unique<OptionButtonPeer>(static_cast<ui::OptionButton &>(control), parent);
    case ui::Kind::ComboBox:
      return std::make_unique<ComboBoxPeer>(static_cast<ui::ComboBox &>(control), parent);
    default:
      return nullptr;
  }
}

}  // namespace kf::qtui
