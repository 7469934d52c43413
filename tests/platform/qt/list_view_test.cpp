// List views on the Qt toolkit: columns, rows and their looks mirrored, new rows together once a
// frame, and the user's clicks, keys and selection passed back as the list's events.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "platform/base/cp1252.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/window_peer.h"
#include "support/qt_environment.h"

namespace kf::qtui {
namespace {

using test::qtToolkit;

class QtListViewTest : public ::testing::Test {
 protected:
  QtListViewTest() {
    for (const char *header : {"Nr.", "Film", "ID", "Gfx", "Title", "Dauer"}) list.addColumn(header);
    images.entries.push_back({"fav", "fav.svg", "Favorit"});
    list.setImageList(&images);
    tree = qobject_cast<QTreeWidget *>(widgetOf(list));
  }
  void TearDown() override { test::deleteLeftovers(); }

  void addRow(const std::string &number, const std::string &description) {
    const int row = list.addItem(number);
    list.addSubItem(row, description);
    for (const char *field : {"id", "http://x/p.jpg", "Titel", "1:00"}) list.addSubItem(row, field);
  }
  QStringList rowTexts() const {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) texts << tree->topLevelItem(i)->text(1);
    return texts;
  }
  // Whether the tree's row shows the favourite's star (a row without one keeps transparent room).
  bool starred(int index) const {
    return qAlpha(tree->topLevelItem(index)->icon(0).pixmap(QSize(14, 14)).toImage().pixel(7, 7)) == 255;
  }
  QPoint rowCentre(int row) const { return tree->visualItemRect(tree->topLevelItem(row - 1)).center(); }
  // New rows reach the tree together, once a frame.
  void waitForRows() const {
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree->topLevelItemCount() == list.count(); }));
  }

  ui::Window window{qtToolkit(), "frmMain", "Klipfang", 10770, 8790, {}};
  ui::ImageList images;
  ui::ListView &list = window.add<ui::ListView>("lstResult", nullptr, {120, 240, 9375, 4335}, 4);
  QTreeWidget *tree = nullptr;
};

TEST_F(QtListViewTest, ColumnsRowsAndLooksAreMirrored) {
  ASSERT_NE(tree, nullptr);
  EXPECT_FALSE(tree->rootIsDecorated());
  EXPECT_EQ(tree->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(tree->selectionBehavior(), QAbstractItemView::SelectRows);
  ASSERT_EQ(tree->columnCount(), 6);
  EXPECT_EQ(tree->headerItem()->text(5), QStringLiteral("Dauer"));
  addRow("1", text::cp1252(u8"Käse aus Köln"));
  waitForRows();
  list.setColumnWidth(2, 3000);
  EXPECT_EQ(tree->header()->sectionSize(1), 200);

  // Columns of width 0 carry data the eye does not see, and a screen reader does not read either:
  // the tree leaves them out, and the rows it holds move up into the places left.
  list.setColumnWidth(3, 0);
  list.setColumnWidth(4, 0);
  ASSERT_EQ(tree->columnCount(), 4);
  EXPECT_EQ(tree->headerItem()->text(2), QStringLiteral("Title"));
  EXPECT_EQ(tree->topLevelItem(0)->text(2), QStringLiteral("Titel"));
  addRow("2", "zwei");
  list.setSmallIcon(1, images.indexOf("fav"));
  list.setSubItemLook(2, 4, true, ui::rgb(255, 0, 0));
  waitForRows();
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  QTreeWidgetItem *first = tree->topLevelItem(0);
  EXPECT_EQ(first->text(0), QStringLiteral("1"));
  EXPECT_EQ(first->text(1), QString::fromUtf8(u8"Käse aus Köln"));
  EXPECT_EQ(first->text(3), QStringLiteral("1:00"));
  EXPECT_FALSE(first->font(2).bold());
  QTreeWidgetItem *second = tree->topLevelItem(1);
  EXPECT_EQ(second->text(2), QStringLiteral("Titel"));
  EXPECT_TRUE(second->font(2).bold());
  EXPECT_EQ(second->foreground(2).color(), QColor(255, 0, 0));
  EXPECT_EQ(qAlpha(second->icon(0).pixmap(QSize(14, 14)).toImage().pixel(7, 7)), 0) << "no star on a plain row";

  // The star's background is the image list's mask colour and must not show.
  const QImage star = first->icon(0).pixmap(QSize(14, 14)).toImage();
  ASSERT_FALSE(star.isNull());
  EXPECT_EQ(qAlpha(star.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(star.pixel(7, 7)), 255);

  list.setSubItemLook(2, 4, false);
  EXPECT_FALSE(second->font(2).bold());
  EXPECT_NE(second->foreground(2).color(), QColor(255, 0, 0));
}

TEST_F(QtListViewTest, RowChangesArriveOneByOneAndKeepTheSelection) {
  for (const char *description : {"a", "b", "c", "d"}) addRow("n", description);
  list.select(3);
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(2));
  EXPECT_TRUE(tree->topLevelItem(2)->isSelected());

  list.removeItem(1);
  EXPECT_EQ(rowTexts(), (QStringList{"b", "c", "d"}));
  ASSERT_EQ(list.selectedIndex(), 2);
  EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem *>{tree->topLevelItem(1)});

  list.removeItem(2);
  EXPECT_EQ(rowTexts(), (QStringList{"b", "d"}));
  EXPECT_TRUE(tree->selectedItems().isEmpty()) << "the selected row went, so nothing is selected";

  list.setSmallIcon(2, images.indexOf("fav"));
  EXPECT_FALSE(starred(0));
  EXPECT_TRUE(starred(1));
  list.clear();
  EXPECT_EQ(tree->topLevelItemCount(), 0);
}

TEST_F(QtListViewTest, RowsOfABurstAreShownTogetherAndCellsCut) {
  for (int row = 1; row <= 3; ++row) addRow(std::to_string(row), "shown");
  waitForRows();
  const QSignalSpy inserted(tree->model(), &QAbstractItemModel::rowsInserted);
  for (int r = 4; r <= 2003; ++r) addRow(std::to_string(r), r == 1500 ? std::string(2001, 'x') : "new");
  EXPECT_EQ(tree->topLevelItemCount(), 3) << "nothing is drawn while the rows come";

  // Rows changed or removed meanwhile, and a selection among the new ones, keep the tree in line.
  list.setSmallIcon(2000, images.indexOf("fav"));
  list.removeItem(2);
  list.select(1999);
  EXPECT_EQ(inserted.count(), 1);
  ASSERT_EQ(tree->topLevelItemCount(), 2002);
  EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("3"));
  EXPECT_TRUE(starred(1998));
  EXPECT_FALSE(starred(1997));
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(1998));
  EXPECT_EQ(tree->topLevelItem(1498)->text(1), QString(2000, QLatin1Char('x'))) << "a cell keeps 2,000 characters";
  EXPECT_EQ(tree->topLevelItem(1497)->text(1), QStringLiteral("new"));
}

TEST_F(QtListViewTest, ClicksKeysAndButtonsReachTheList) {
  for (const char *description : {"a", "b", "c"}) addRow("n", description);
  waitForRows();
  std::vector<int> clicked;
  std::vector<std::pair<int, int>> keys;
  std::vector<std::tuple<int, int, float, float>> released;
  int doubleClicks = 0;
  list.onItemClick = [&](int row) { clicked.push_back(row); };
  list.onKeyDown = [&](int code, int shift) { keys.emplace_back(code, shift); };
  list.onMouseUp = [&](int button, int shift, float x, float y) { released.emplace_back(button, shift, x, y); };
  list.onDblClick = [&] { ++doubleClicks; };
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(window)));

  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(2));
  EXPECT_EQ(list.selectedIndex(), 2);
  EXPECT_EQ(clicked, std::vector<int>{2});
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(2));
  EXPECT_EQ(clicked, (std::vector<int>{2, 2})) << "a click on the selected row is a click too";

  list.select(1);
  EXPECT_TRUE(tree->topLevelItem(0)->isSelected());
  EXPECT_EQ(clicked.size(), 2U) << "the program's selection raises no click";

  const QPoint at = rowCentre(3);
  QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::ShiftModifier, at);
  EXPECT_EQ(list.selectedIndex(), 3);
  ASSERT_FALSE(released.empty());
  const QPoint inList = tree->viewport()->mapTo(tree, at);
  EXPECT_EQ(released.back(), std::make_tuple(2, 1, inList.x() * 15.0F, inList.y() * 15.0F));

  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(1));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(list.selectedIndex(), 1);

  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_Down);
  EXPECT_EQ(list.selectedIndex(), 2);
  EXPECT_EQ(clicked.back(), 2) << "moving the selection by keyboard clicks the new row";
  QTest::keyClick(tree, Qt::Key_Delete);
  EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{40, 0}, {46, 0}}));
}

}  // namespace
}  // namespace kf::qtui
