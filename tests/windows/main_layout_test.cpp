#include "windows/main_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/ui/headless_toolkit.h"

namespace kf::windows {
namespace {

// The margin beside and between the views and the button column, and the one above the views and
// under the progress bar.
constexpr float kMargin = 120;
constexpr float kViewTop = 240;
// Room a list keeps free for its scroll bar.
constexpr float kScrollBar = 400;

struct Box {
  float left, top, width, height;
  bool operator==(const Box &) const = default;
};

Box box(const ui::Control &c) {
  return {c.left(), c.top(), c.width(), c.height()};
}

float columnsWidth(const ui::ListView &list) {
  float sum = 0;
  for (int column = 1; column <= list.columnCount(); ++column) sum += list.columnWidth(column);
  return sum;
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
      if (auto *list = dynamic_cast<ui::ListView *>(control.get())) {
        for (int column = 1; column <= list->columnCount(); ++column) {
          all[control->name() + ".columns"].push_back(list->columnWidth(column));
        }
      }
    }
    return all;
  }

  // What holds at every size with room for everything.
  void expectTheRules() {
    SCOPED_TRACE(std::to_string(c.window.clientWidth()) + " x " + std::to_string(c.window.clientHeight()));
    // The frames hang on the left edge; the results frame fills the window under the other two.
    for (const ui::Control *frame : {&c.fraSearch, &c.fraInfo, &c.fraResult}) EXPECT_EQ(frame->left(), 0);
    EXPECT_EQ(c.fraResult.width(), c.window.clientWidth());
    EXPECT_EQ(c.fraResult.top() + c.fraResult.height(), c.window.clientHeight());
    EXPECT_GE(c.fraResult.top(), c.fraInfo.top() + c.fraInfo.height());

    // The four views share one place, the progress bar lies under it as wide, and the button column
    // stands at the right edge, one button under the other from the views' top.
    const Box view = box(c.lstResult);
    for (const ui::Control *other : views()) EXPECT_EQ(box(*other), view) << other->name();
    EXPECT_EQ(view.left, kMargin);
    EXPECT_EQ(view.top, kViewTop);
    EXPECT_EQ((Box{c.prgDL.left(), c.prgDL.top(), c.prgDL.width(), 0}),
              (Box{kMargin, view.top + view.height, view.width, 0}));
    EXPECT_EQ(c.prgDL.top() + c.prgDL.height() + kViewTop, c.fraResult.height());
    float below = view.top;
    for (const ui::Button *button : buttonColumn()) {
      EXPECT_EQ(button->left(), view.left + view.width + kMargin) << button->name();
      EXPECT_EQ(button->left() + button->width() + kMargin, c.fraResult.width()) << button->name();
      EXPECT_GE(button->top(), below) << button->name();
      below = button->top() + button->height();
    }

    // The columns fill their lists but for the scroll bar; the id and the picture address are not seen.
    for (const ui::ListView *list : {&c.lstResult, &c.lstFavs, &c.lstFile}) {
      EXPECT_EQ(columnsWidth(*list), list->width() - kScrollBar) << list->name();
    }
    for (const ui::ListView *list : {&c.lstResult, &c.lstFavs}) {
      EXPECT_EQ(list->columnWidth(3), 0);
      EXPECT_EQ(list->columnWidth(4), 0);
    }

    // The command panel sits in the middle of the results frame.
    EXPECT_EQ(c.fraCMD.left() + c.fraCMD.width() / 2, c.fraResult.width() / 2);
    EXPECT_EQ(c.fraCMD.top() + c.fraCMD.height() / 2, c.fraResult.height() / 2);
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

TEST_F(MainLayout, TheSmallestSizeKeepsEveryControlWholeAndApart) {
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

TEST_F(MainLayout, TheRulesHoldAtTheStartSizeAndLarger) {
  expectTheRules();
  c.fraCMD.setVisible(true);
  const std::pair<float, float> sizes[] = {{12770, 9790}, {10770, 12000}, {20000, 8790}};
  for (const auto &[width, height] : sizes) {
    c.window.resized(width, height);
    expectTheRules();
  }
  EXPECT_TRUE(c.fraCMD.visible()) << "a resize leaves the panel shown";
}

TEST_F(MainLayout, GrowthGoesToTheViewsAndMovesWhatStandsRightAndBelow) {
  auto before = snapshot();
  c.window.resized(c.window.clientWidth() + 1000, c.window.clientHeight() + 600);
  for (ui::Button *button : buttonColumn()) {
    const std::vector<float> &was = before[button->name()];
    EXPECT_EQ(box(*button), (Box{was[0] + 1000, was[1], was[2], was[3]})) << button->name();
  }
  for (ui::Control *view : views()) {
    EXPECT_EQ(box(*view), (Box{kMargin, kViewTop, before[view->name()][2] + 1000, before[view->name()][3] + 600}));
  }
  EXPECT_EQ(c.prgDL.top(), before["prgDL"][1] + 600);
  // "Film" and "Title" share the width; the number and the play time keep theirs.
  const std::vector<float> &columns = before["lstResult.columns"];
  const std::vector<float> grown{columns[0], columns[1] + 500, 0, 0, columns[4] + 500, columns[5]};
  EXPECT_EQ(snapshot()["lstResult.columns"], grown);
  EXPECT_EQ(snapshot()["lstFavs.columns"], grown);
  // The search bar and the info line stay; the preview keeps its distance to the right edge.
  for (const char *frame : {"fraSearch", "fraInfo"}) EXPECT_EQ(snapshot()[frame], before[frame]) << frame;
  EXPECT_EQ(c.fraPreview.left(), before["fraPreview"][0] + 1000);
}

TEST_F(MainLayout, ANarrowWindowKeepsWhatCannotShrinkAndMovesTheButtons) {
  const auto start = snapshot();
  // Too narrow for a "Title" column: it keeps its width, the others follow the list.
  c.window.resized(5695, 8790);
  EXPECT_EQ(c.lstResult.columnWidth(5), start.at("lstResult.columns")[4]);
  EXPECT_EQ(c.lstResult.columnWidth(2),
            start.at("lstResult.columns")[1] - (start.at("lstResult")[2] - c.lstResult.width()) / 2);
  const float narrowest = c.lstResult.width();

  // Narrower than the button column: the views and the bar keep their last width, the buttons still
  // follow the right edge and the panel the middle.
  c.window.resized(500, 8790);
  EXPECT_EQ(c.fraResult.width(), 500);
  for (ui::Control *view : views()) EXPECT_EQ(view->width(), narrowest) << view->name();
  EXPECT_EQ(c.prgDL.width(), narrowest);
  for (ui::Button *button : buttonColumn())
    EXPECT_EQ(button->left() + button->width() + kMargin, 500) << button->name();
  EXPECT_EQ(c.fraCMD.left() + c.fraCMD.width() / 2, 250);
  // The preview never moves left of its start place, over the search bar.
  EXPECT_EQ(c.fraPreview.left(), start.at("fraPreview")[0]);
}

TEST_F(MainLayout, ALowWindowKeepsTheLastHeights) {
  c.window.resized(10770, 5000);
  expectTheRules();
  const float low = c.lstResult.height();

  // Above the frame's top the frame keeps its height.
  const float frameHeight = c.fraResult.height();
  c.window.resized(10770, 1500);
  EXPECT_EQ(c.fraResult.height(), frameHeight);
  EXPECT_EQ(c.lstResult.height(), low);

  // Just under it the frame follows but the views cannot, and the bar stays under them.
  c.window.resized(10770, c.fraResult.top() + 400);
  EXPECT_EQ(c.fraResult.height(), 400);
  for (ui::Control *view : views()) EXPECT_EQ(view->height(), low) << view->name();
  EXPECT_EQ(c.prgDL.top(), kViewTop + low);
  EXPECT_EQ(c.fraCMD.top() + c.fraCMD.height() / 2, 200);
}

TEST_F(MainLayout, MinimiseAndRestoreGiveTheSameLayout) {
  const auto start = snapshot();
  c.window.resized(0, 0);
  EXPECT_EQ(c.fraResult.width(), 0);
  EXPECT_EQ(c.fraResult.height(), start.at("fraResult")[3]);
  EXPECT_EQ(c.lstResult.width(), start.at("lstResult")[2]);
  c.window.resized(start.at("fraResult")[2], start.at("fraResult")[1] + start.at("fraResult")[3]);
  EXPECT_EQ(snapshot(), start);
}

}  // namespace
}  // namespace kf::windows
