#include "platform/qt/accessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace kf::qtui {
namespace {

class LabelAccessible : public QAccessibleWidget {
 public:
  explicit LabelAccessible(LabelWidget *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QAccessible::Role role() const override { return label()->link ? QAccessible::Link : QAccessible::StaticText; }

  // Its own name, else its words, else (an empty label) the caption of the frame around it.
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty() && !label()->text().isEmpty()) {
      return label()->text();
    }
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.linked = label()->link;
    return state;
  }

  // A label names the control it was given to, as the control is labelled by it.
  QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override {
    auto found = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Labelled) && label()->buddy()) {
      found.append({QAccessible::queryAccessibleInterface(label()->buddy()), QAccessible::Labelled});
    }
    return found;
  }

  QStringList actionNames() const override {
    return label()->link ? QStringList{pressAction()} + QAccessibleWidget::actionNames()
                         : QAccessibleWidget::actionNames();
  }

  void doAction(const QString &action) override {
    if (action == pressAction() && label()->link && label()->press) {
      label()->press();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  LabelWidget *label() const { return static_cast<LabelWidget *>(widget()); }
};

// Qt's own account of a drop-down list gives its shown entry as its name on Linux and leaves the
// label to a relation, which a screen reader may not follow: here the name is the list's own and
// the entry its value. Its one child is the list that drops down, as in Qt's account.
class ComboAccessible : public QAccessibleWidget {
 public:
  explicit ComboAccessible(ComboWidget *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return combo()->currentText();
    return QAccessibleWidget::text(kind);
  }

  int childCount() const override { return 1; }
  QAccessibleInterface *child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface *child) const override {
    return child && child->object() == combo()->view() ? 0 : -1;
  }

  QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }
  void doAction(const QString &action) override {
    if (action == showMenuAction()) {
      combo()->showPopup();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  ComboWidget *combo() const { return static_cast<ComboWidget *>(widget()); }
};

constexpr char kAccountProperty[] = "kfAccount";

// The classes our marked widgets show to Qt's meta-object system (they add no meta-object of their
// own). Any other class name is answered without touching the object: the web engine asks for items
// of its own whose type information is hidden, and even reading a property of those is undefined.
bool mayCarryAnAccount(const QString &className) {
  return className == QLatin1String("QWidget") || className == QLatin1String("QLabel") ||
         className == QLatin1String("QComboBox");
}

// Asked for every class of an object, most derived first; the first answer is kept for the object.
QAccessibleInterface *accountOf(const QString &className, QObject *object) {
  if (!object || !mayCarryAnAccount(className) || !object->isWidgetType()) return nullptr;
  switch (static_cast<Account>(object->property(kAccountProperty).toInt())) {
    case Account::Window: {
      auto *window = static_cast<WindowSurface *>(object);
      return new QAccessibleWidget(window, window->dialog() ? QAccessible::Dialog : QAccessible::Window);
    }
    case Account::Label:
      return new LabelAccessible(static_cast<LabelWidget *>(object));
    case Account::ComboBox:
      return new ComboAccessible(static_cast<ComboWidget *>(object));
    case Account::None:
      break;
  }
  return nullptr;
}

}  // namespace

void markAccount(QObject &widget, Account account) {
  widget.setProperty(kAccountProperty, static_cast<int>(account));
}

void installAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(accountOf);
    return true;
  }();
  (void)installed;
}

}  // namespace kf::qtui
