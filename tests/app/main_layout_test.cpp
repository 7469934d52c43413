#include "app/main_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless_toolkit.h"

namespace kf::app {
namespace {

struct Box {
  float left, top, width, height;
  bool operator==(const Box &) const = default;
};

Box box(const ui::Control &c) {
  return {c.left(), c.top(), c.width(), c.height()};
}

std::vector<float> columnWidths(const ui::ListView &list) {
  std::vector<float> widths;
  for (int column = 1; column <= list.columnCount(); ++column) widths.push_back(list.columnWidth(column));
  return widths;
}

class MainLayout : public ::testing::Test {
 protected:
  MainLayout() {
    ui::setToolkit(tk);
    c.window.onResize = [this] { layoutMainWindow(c); };
    c.window.show();
  }

  std::vector<ui::Control *> views() { return {&c.lstResult, &c.lstFavs, &c.lstFile, &c.brw}; }
  std::vector<ui::Button *> buttonColumn() {
    return {&c.cmdFile, &c.cmdResults, &c.cmdDL, &c.cmdSets, &c.cmdWatch, &c.cmdFavs, &c.cmdToFav, &c.cmdInfo};
  }

  // Every control's place and every list's columns, to compare whole layouts.
  std::map<std::string, std::vector<float>> snapshot() {
    std::map<std::string, std::vector<float>> all;
    for (const auto &control : c.window.controls()) {
      all[control->name()] = {control->left(), control->top(), control->width(), control->height()};
      if (auto *list = dynamic_cast<ui::ListView *>(control.get()))
        all[control->name() + ".columns"] = columnWidths(*list);
    }
    return all;
  }

  ui::HeadlessToolkit tk;
  MainControls c{tk};
};

// Whether every visible control lies whole in its container and apart from its visible siblings.
bool wholeAndApart(const MainControls &c) {
  const auto inside = [&](const ui::Control &control) {
    const float width = control.container() ? control.container()->width() : c.window.clientWidth();
    const float height = control.container() ? control.container()->height() : c.window.clientHeight();
    return control.left() >= 0 && control.top() >= 0 && control.left() + control.width() <= width &&
           control.top() + control.height() <= height;
  };
  const auto apart = [](const ui::Control &a, const ui::Control &b) {
    return a.left() + a.width() <= b.left() || b.left() + b.width() <= a.left() || a.top() + a.height() <= b.top() ||
           b.top() + b.height() <= a.top();
  };
  const auto &controls = c.window.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ui::Control &one = *controls[i];
    if (!one.visible()) continue;
    if (!inside(one)) return false;
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const ui::Control &other = *controls[j];
      if (other.visible() && other.container() == one.container() && !apart(one, other)) return false;
    }
  }
  return true;
}

TEST_F(MainLayout, TheSmallestSizeKeepsEveryControlWholeAndApartAndOnePixelLessWouldNot) {
  EXPECT_EQ(c.window.style().smallestClientWidth, kSmallestMainWidth);
  EXPECT_EQ(c.window.style().smallestClientHeight, kSmallestMainHeight);
  EXPECT_TRUE(wholeAndApart(c)) << "the start size";
  c.window.resized(kSmallestMainWidth, kSmallestMainHeight);
  EXPECT_TRUE(wholeAndApart(c));
  c.window.resized(kSmallestMainWidth - 15, kSmallestMainHeight);
  EXPECT_FALSE(wholeAndApart(c));
  c.window.resized(kSmallestMainWidth, kSmallestMainHeight - 15);
  EXPECT_FALSE(wholeAndApart(c));
}

TEST_F(MainLayout, FirstShowLaysOutTheStartSize) {
  EXPECT_EQ(box(c.fraResult), (Box{0, 1800, 10770, 6990}));
  EXPECT_EQ(box(c.fraSearch), (Box{0, 120, 8055, 975}));
  EXPECT_EQ(box(c.fraInfo), (Box{0, 1200, 8055, 495}));
  EXPECT_EQ(box(c.fraPreview), (Box{8160, 120, 2175, 1680}));
  for (ui::Control *view : views()) EXPECT_EQ(box(*view), (Box{120, 240, 9675, 6255})) << view->name();
  const float tops[] = {240, 1080, 1920, 2760, 3600, 4440, 5280, 6120};
  for (std::size_t i = 0; i < buttonColumn().size(); ++i) {
    EXPECT_EQ(box(*buttonColumn()[i]), (Box{9915, tops[i], 735, 735})) << buttonColumn()[i]->name();
  }
  EXPECT_EQ(box(c.prgDL), (Box{120, 6495, 9675, 255}));
  const std::vector<float> resultColumns{800, 5637.5F, 0, 0, 2037.5F, 800};
  EXPECT_EQ(columnWidths(c.lstResult), resultColumns);
  EXPECT_EQ(columnWidths(c.lstFavs), resultColumns);
  EXPECT_EQ(box(c.fraCMD), (Box{3877.5F, 3067.5F, 3015, 855}));
  EXPECT_EQ(columnWidths(c.lstFile), (std::vector<float>{400, 8875}));
}

TEST_F(MainLayout, GrowingByAThousandMovesTheRightSide) {
  auto before = snapshot();
  c.window.resized(11770, 8790);
  for (ui::Button *button : buttonColumn()) EXPECT_EQ(button->left(), before[button->name()][0] + 1000);
  for (ui::Control *view : views()) EXPECT_EQ(view->width(), 10675) << view->name();
  EXPECT_EQ(c.prgDL.width(), 10675);
  EXPECT_EQ(columnWidths(c.lstResult), (std::vector<float>{800, 6137.5F, 0, 0, 2537.5F, 800}));
  EXPECT_EQ(columnWidths(c.lstFavs), columnWidths(c.lstResult));
  EXPECT_EQ(box(c.fraSearch), (Box{0, 120, 8055, 975}));
  EXPECT_EQ(box(c.fraInfo), (Box{0, 1200, 8055, 495}));
  // The preview keeps its distance to the right edge.
  EXPECT_EQ(c.fraPreview.left(), 9160);
}

TEST_F(MainLayout, NarrowWindowKeepsSizesButMovesButtons) {
  // A list narrower than 5600 would need a negative "Title" column: it keeps its width.
  c.window.resized(5695, 8790);
  EXPECT_EQ(c.lstResult.width(), 4600);
  EXPECT_EQ(columnWidths(c.lstResult), (std::vector<float>{800, 3100, 0, 0, 2037.5F, 800}));
  EXPECT_EQ(columnWidths(c.lstFile), (std::vector<float>{400, 3800}));

  // Narrower than one button column: the views and the bar keep their last width.
  c.window.resized(500, 8790);
  EXPECT_EQ(c.fraResult.width(), 500);
  for (ui::Control *view : views()) EXPECT_EQ(view->width(), 4600) << view->name();
  EXPECT_EQ(c.prgDL.width(), 4600);
  for (ui::Button *button : buttonColumn()) EXPECT_EQ(button->left(), -355) << button->name();
  EXPECT_EQ(c.fraCMD.left(), -1257.5F);
  // The preview never moves left of its start place, over the search bar.
  EXPECT_EQ(c.fraPreview.left(), 8160);
}

TEST_F(MainLayout, LowWindowKeepsTheLastHeights) {
  c.window.resized(10770, 5000);
  EXPECT_EQ(c.lstResult.height(), 2465);

  // Below the frame's top the frame keeps its height.
  c.window.resized(10770, 1500);
  EXPECT_EQ(c.fraResult.height(), 3200);
  EXPECT_EQ(c.lstResult.height(), 2465);

  // Between 1800 and 2535 the frame follows but the views cannot, and the bar stays under them.
  c.window.resized(10770, 2200);
  EXPECT_EQ(c.fraResult.height(), 400);
  for (ui::Control *view : views()) EXPECT_EQ(view->height(), 2465) << view->name();
  EXPECT_EQ(c.prgDL.top(), 2705);
  EXPECT_EQ(c.fraCMD.top(), -227.5F);
}

TEST_F(MainLayout, MinimiseAndRestoreGiveTheSameLayout) {
  const auto start = snapshot();
  c.window.resized(0, 0);
  EXPECT_EQ(c.fraResult.width(), 0);
  EXPECT_EQ(c.fraResult.height(), 6990);
  EXPECT_EQ(c.lstResult.width(), 9675);
  EXPECT_EQ(c.cmdFile.left(), -855);
  c.window.resized(10770, 8790);
  EXPECT_EQ(snapshot(), start);
}

TEST_F(MainLayout, CommandPanelStaysShownAndCentred) {
  c.fraCMD.setVisible(true);
  c.window.resized(12770, 9790);
  EXPECT_TRUE(c.fraCMD.visible());
  EXPECT_EQ(c.fraCMD.left(), 12770.0F / 2 - 3015.0F / 2);
  EXPECT_EQ(c.fraCMD.top(), 7990.0F / 2 - 855.0F / 2);
}

}  // namespace
}  // namespace kf::app
