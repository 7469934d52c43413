// A list view in report view: rows with sub-items under column headers, one selected row, small row
// icons from the list's image list. Row changes arrive one at a time, so a long list is never
// rebuilt for each new row; new rows are gathered and shown together once a frame. A column of
// width 0 carries data the eye does not see: the tree leaves it out, so that a screen reader does
// not read it either.
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"
#include "platform/qt/pictures.h"

namespace kf::qtui {
namespace {

int mouseButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

// The row that has the keyboard's focus frame is always the selected one, so that the commands act on
// the row the user sees: the tree itself would leave the row it puts the frame on unselected when the
// list gets the focus by Tab, and ignore Home or Page Up on the row that has the frame already.
class FocusSelectingTree : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;

 protected:
  void focusInEvent(QFocusEvent *event) override {
    QTreeWidget::focusInEvent(event);
    if (event->reason() != Qt::TabFocusReason && event->reason() != Qt::BacktabFocusReason) return;
    if (!selectedItems().isEmpty()) return;
    selectFramed(currentItem() ? currentItem() : topLevelItem(0));
  }

  void keyPressEvent(QKeyEvent *event) override {
    QTreeWidget::keyPressEvent(event);
    switch (event->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_Home:
      case Qt::Key_End:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        if (event->modifiers() == Qt::NoModifier && currentItem() && !currentItem()->isSelected()) {
          selectFramed(currentItem());
        }
        break;
      default:
        break;
    }
  }

 private:
  void selectFramed(QTreeWidgetItem *item) {
    if (item) setCurrentItem(item);
  }
};

class ListViewPeer : public QtControlPeer {
 public:
  ListViewPeer(ui::ListView &list, QWidget *parent) : QtControlPeer(list, new FocusSelectingTree(parent)), list_(list) {
    QTreeWidget *view = tree();
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAllColumnsShowFocus(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setIconSize(QSize(16, 16));
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    connect(view, &QTreeWidget::itemSelectionChanged, this, [this] { runGuarded([this] { userSelected(); }); });
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    // Each row shown on its own lays out and repaints the whole list: a parse that adds rows by the
    // thousand would spend its time drawing. The tree always holds the list's first rows; the rows
    // after them are added when the timer runs out.
    newRows_.setSingleShot(true);
    connect(&newRows_, &QTimer::timeout, this, [this] {
      if (widget()) showNewRows();
    });
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    // The widget's reactions to the program's changes are not the user's doing.
    const QSignalBlocker quiet(tree());
    switch (aspect) {
      case ui::Aspect::Columns:
        showColumns();
        break;
      case ui::Aspect::Items:
        newRows_.stop();
        tree()->clear();
        showNewRows();
        showSelection();
        break;
      case ui::Aspect::ItemAdded:
        // One frame of the screen: more often than that no one sees a row come.
        if (!newRows_.isActive()) newRows_.start(frameMs());
        break;
      case ui::Aspect::ItemChanged:
        // A row not shown yet is made whole when it is.
        if (index <= tree()->topLevelItemCount()) fillRow(*tree()->topLevelItem(index - 1), index);
        break;
      case ui::Aspect::ItemRemoved:
        if (index <= tree()->topLevelItemCount()) delete tree()->takeTopLevelItem(index - 1);
        showSelection();
        break;
      case ui::Aspect::Selection:
        showSelection();
        break;
      default:
        QtControlPeer::update(aspect, index);
    }
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    // What the handlers do may end the window, so nothing of this peer is touched after them.
    if (watched == tree()) {
      // The row the focus lands on has to be in the tree, though new rows wait for their frame.
      if (event->type() == QEvent::FocusIn && tree()->topLevelItemCount() < list_.count()) showNewRows();
      if (event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        if (const int code = keyCode(key)) runGuarded([&] { list_.keyDown(code, shiftState(key.modifiers())); });
      }
      return false;
    }
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        // A click on the row that is selected already changes no selection, yet is a click on it.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        QTreeWidgetItem *item = tree()->itemAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && item && item->isSelected()) {
          runGuarded([&] { list_.clickItem(tree()->indexOfTopLevelItem(item) + 1); });
        }
        break;
      }
      case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) runGuarded([this] { list_.doubleClick(); });
        break;
      case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (const int button = mouseButtonCode(mouse->button())) {
          const QPoint at = tree()->viewport()->mapTo(tree(), mouse->position().toPoint());
          runGuarded([&] { list_.mouseUp(button, shiftState(mouse->modifiers()), twips(at.x()), twips(at.y())); });
        }
        break;
      }
      default:
        break;
    }
    return false;
  }

 private:
  QTreeWidget *tree() const { return static_cast<QTreeWidget *>(widget()); }

  // The user picked a row (mouse or keyboard) or clicked beside the rows.
  void userSelected() {
    const auto picked = tree()->selectedItems();
    if (picked.isEmpty()) {
      list_.select(0);
    } else {
      list_.clickItem(tree()->indexOfTopLevelItem(picked.front()) + 1);
    }
  }

  void showSelection() {
    const int row = list_.selectedIndex();
    if (row == 0) {
      tree()->clearSelection();
    } else {
      if (row > tree()->topLevelItemCount()) showNewRows();
      tree()->setCurrentItem(tree()->topLevelItem(row - 1));
    }
  }

  // The list's rows after those the tree holds, added in one step.
  void showNewRows() {
    QList<QTreeWidgetItem *> rows;
    for (int row = tree()->topLevelItemCount() + 1; row <= list_.count(); ++row) rows.append(makeRow(row));
    if (!rows.isEmpty()) tree()->addTopLevelItems(rows);
  }

  int frameMs() const {
    const QScreen *screen = tree()->screen();
    const double hertz = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(1000.0 / hertz));
  }

  void showColumns() {
    std::vector<int> shown;
    QStringList headers;
    for (int column = 1; column <= list_.columnCount(); ++column) {
      if (list_.columnWidth(column) <= 0) continue;
      shown.push_back(column);
      headers << shownText(list_.columnHeader(column));
    }
    const bool otherColumns = shown != shown_;
    shown_ = std::move(shown);
    tree()->setColumnCount(static_cast<int>(shown_.size()));
    tree()->setHeaderLabels(headers);
    for (std::size_t at = 0; at < shown_.size(); ++at) {
      tree()->header()->resizeSection(static_cast<int>(at), pixels(list_.columnWidth(shown_[at])));
    }
    // A column that came or went moves the ones after it: the rows shown so far are filled anew.
    if (otherColumns) {
      for (int row = 1; row <= tree()->topLevelItemCount(); ++row) fillRow(*tree()->topLevelItem(row - 1), row);
    }
  }

  QTreeWidgetItem *makeRow(int row) const {
    auto *item = new QTreeWidgetItem;
    fillRow(*item, row);
    return item;
  }

  // The row text is column 1 of the list, sub-item k its column k + 1.
  void fillRow(QTreeWidgetItem &widgetItem, int row) const {
    const ui::ListItem &item = list_.item(row);
    const QTreeWidget *const view = tree();
    QFont font = view ? view->font() : QFont();
    for (std::size_t at = 0; at < shown_.size(); ++at) {
      const int column = static_cast<int>(at);
      if (shown_[at] == 1) {
        widgetItem.setText(column, shownText(item.text));
        widgetItem.setIcon(column, icon(item.smallIcon));
        // A screen reader does not see the picture: it hears its word after the row's text.
        const std::string spoken = spokenIcon(item.smallIcon);
        widgetItem.setData(column, Qt::AccessibleTextRole,
                           spoken.empty() ? QVariant() : QVariant(shownText(item.text + ", " + spoken)));
        continue;
      }
      const auto subItem = static_cast<std::size_t>(shown_[at] - 2);
      const ui::ListSubItem sub = subItem < item.subItems.size() ? item.subItems[subItem] : ui::ListSubItem{};
      widgetItem.setText(column, shownText(sub.text));
      font.setBold(sub.bold);
      widgetItem.setData(column, Qt::FontRole, sub.bold ? QVariant(font) : QVariant());
      // Plain black follows the system's text colour, so a dark theme stays readable.
      widgetItem.setData(column, Qt::ForegroundRole,
                         sub.foreColor == ui::kBlack ? QVariant() : QVariant(QBrush(toQColor(sub.foreColor))));
    }
  }

  std::string spokenIcon(int number) const {
    const ui::ImageList *images = list_.imageList();
    if (!images || number < 1 || number > static_cast<int>(images->entries.size())) return {};
    return images->entries[static_cast<std::size_t>(number - 1)].spoken;
  }

  QIcon icon(int number) const {
    const ui::ImageList *images = list_.imageList();
    if (!images) return {};
    if (number < 1 || number > static_cast<int>(images->entries.size())) {
      // A list with row icons keeps their room free on rows without one, so the texts line up.
      QPixmap room(tree()->iconSize());
      room.fill(Qt::transparent);
      return {room};
    }
    return {asset(images->entries[static_cast<std::size_t>(number - 1)].asset, toQColor(images->maskColor))};
  }

  ui::ListView &list_;
  // The list's columns the tree shows, by their number in the list.
  std::vector<int> shown_;
  QTimer newRows_;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeListViewPeer(ui::Control &control, QWidget *parent) {
  if (control.kind() != ui::Kind::ListView) return nullptr;
  return std::make_unique<ListViewPeer>(static_cast<ui::ListView &>(control), parent);
}

}  // namespace kf::qtui
