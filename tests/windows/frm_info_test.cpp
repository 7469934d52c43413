#include "windows/frm_info.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/ui/headless_toolkit.h"

namespace kf::windows {
namespace {

class InfoWindowTest : public ::testing::Test {
 protected:
  InfoWindowTest() { ui::setToolkit(tk); }

  ui::HeadlessToolkit tk;
  std::vector<std::pair<std::string, bool>> opened;
  InfoWindow info{tk, net::SiteAddress{"http://www.localhost:9123", "http://localhost:9123"},
                  [this](const std::string &address, bool visible) { opened.emplace_back(address, visible); }};
};

TEST_F(InfoWindowTest, OpensOnceAndComesToTheFront) {
  EXPECT_EQ(info.current(), nullptr);
  info.open();
  FrmInfo *first = info.current();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->window.isOpen());
  EXPECT_TRUE(first->window.topmost());
  const ui::WindowStyle &style = first->window.style();
  EXPECT_FALSE(style.sizable);
  EXPECT_TRUE(style.toolWindow);
  EXPECT_FALSE(style.showInTaskbar);
  EXPECT_TRUE(style.centred);
  EXPECT_EQ(style.icon, "");
  info.open();
  EXPECT_EQ(info.current(), first);
}

TEST_F(InfoWindowTest, HomepageShownIsHomepageOpened) {
  info.open();
  FrmInfo &form = *info.current();
  EXPECT_EQ(form.Label2.caption(), "http://www.localhost:9123/klipfang");
  form.Label2.click();
  EXPECT_EQ(opened, (std::vector<std::pair<std::string, bool>>{{form.Label2.caption(), true}}));
  EXPECT_EQ(info.current(), &form);
}

TEST_F(InfoWindowTest, CloseAndReopenMakeItAnew) {
  info.open();
  info.current()->lab.setCaption("verstellt");
  info.current()->cmdClose.click();
  EXPECT_EQ(info.current(), nullptr);
  info.open();
  FrmInfo *again = info.current();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->lab.caption(), "Klipfang 1.0");
  EXPECT_TRUE(again->window.topmost());
  again->Label2.click();
  ASSERT_EQ(opened.size(), 1U);
  EXPECT_EQ(opened[0].first, "http://www.localhost:9123/klipfang");

  // The close box and Esc do the same as the close button.
  again->window.close();
  EXPECT_EQ(info.current(), nullptr);
  info.open();
  info.current()->window.escape();
  EXPECT_EQ(info.current(), nullptr);
}

}  // namespace
}  // namespace kf::windows
