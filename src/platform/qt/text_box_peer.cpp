// A one-line text box: typed text goes to the control as Windows-1252, and every key press is
// reported to the program before the box handles it. The box offers the control's suggestions in a
// list under it while the user types, and all of them on the Down key.
#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"
#include "platform/ui/window.h"

namespace kf::qtui {
namespace {

constexpr int kOffersShown = 10;

class TextBoxPeer : public QtControlPeer {
 public:
  TextBoxPeer(ui::TextBox &box, QWidget *parent)
      : QtControlPeer(box, new QLineEdit(parent)), box_(box), offers_(new QCompleter(lineEdit())) {
    // The user's typing and a suggestion the box takes in (also while the user moves through the
    // offers) reach the control; the program's own setText is not echoed back.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
      if (!settingText_) runGuarded([&] { box_.typed(fromQString(text)); });
    });
    offers_->setModel(new QStringListModel(offers_));
    offers_->setCaseSensitivity(Qt::CaseInsensitive);
    offers_->setFilterMode(Qt::MatchContains);
    offers_->setCompletionMode(QCompleter::PopupCompletion);
    offers_->setMaxVisibleItems(kOffersShown);
    lineEdit()->setCompleter(offers_);
    widget()->installEventFilter(this);
    offers_->popup()->installEventFilter(this);
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    switch (aspect) {
      case ui::Aspect::Text: {
        const QString text = toQString(box_.text());
        // Setting the same text again would move the caret to the end under the user's hands.
        if (lineEdit()->text() == text) break;
        settingText_ = true;
        lineEdit()->setText(text);
        settingText_ = false;
        break;
      }
      case ui::Aspect::Selection:
        lineEdit()->selectAll();
        break;
      case ui::Aspect::Items: {
        QStringList offers;
        for (const std::string &suggestion : box_.suggestions()) offers << shownText(suggestion);
        static_cast<QStringListModel *>(offers_->model())->setStringList(offers);
        break;
      }
      default:
        QtControlPeer::update(aspect, index);
    }
  }

  // Installed after the completer's own filter on its list, this one sees a key there first.
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto &key = *static_cast<QKeyEvent *>(event);
    if (watched == offers_->popup()) return offerKey(key);
    // The box itself would close offers it finds nothing typed for.
    const bool offered =
        key.key() == Qt::Key_Down && key.modifiers() == Qt::NoModifier && !offers_->popup()->isVisible() && offerAll();
    if (const int code = keyCode(key)) runGuarded([&] { box_.keyDown(code, shiftState(key.modifiers())); });
    return offered;
  }

 private:
  QLineEdit *lineEdit() const { return static_cast<QLineEdit *>(widget()); }

  // Down in the box: the offers that fit what stands in it, every offer in an empty box.
  bool offerAll() {
    offers_->setCompletionPrefix(lineEdit()->text());
    if (offers_->completionCount() == 0) return false;
    offers_->complete();
    return true;
  }

  // Enter while the offers are open is Enter in the box, never only the end of the offers: on an offer
  // chosen with the arrows it first takes that offer into the box, else it leaves the typed words.
  bool offerKey(const QKeyEvent &key) {
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
    const QModelIndex chosen = offers_->popup()->currentIndex();
    offers_->popup()->hide();
    if (chosen.isValid()) lineEdit()->setText(chosen.data().toString());
    // What the key starts may end the window: nothing of this peer is touched after it.
    runGuarded([&] { box_.keyDown(ui::keys::kEnter, shiftState(key.modifiers())); });
    return true;
  }

  ui::TextBox &box_;
  QCompleter *offers_;
  bool settingText_ = false;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeTextBoxPeer(ui::Control &control, QWidget *parent) {
  if (control.kind() != ui::Kind::TextBox) return nullptr;
  return std::make_unique<TextBoxPeer>(static_cast<ui::TextBox &>(control), parent);
}

}  // namespace kf::qtui
