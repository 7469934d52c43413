// The settings window: what it shows, what Save and Cancel leave, and that there is only one.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/ui/headless_toolkit.h"
#include "support/settings_printer.h"
#include "windows/frm_settings.h"

namespace kf::windows {
namespace {

using store::SearchHistory;
using store::Settings;

class SettingsWindowTest : public ::testing::Test {
 protected:
  SettingsWindowTest() { ui::setToolkit(tk); }

  ui::HeadlessToolkit tk;
  Settings settings{3, true, false, true};
  SearchHistory history;
  SettingsWindowHost host{tk, settings, history};

  FrmSettings &opened() {
    host.open();
    return *host.window();
  }
};

TEST_F(SettingsWindowTest, OpenedItShowsTheSettingsOnTopWhateverTheFrontSetting) {
  settings = {3, true, false, false};
  FrmSettings &frm = opened();
  EXPECT_TRUE(frm.window.isOpen());
  EXPECT_TRUE(frm.window.topmost());
  EXPECT_EQ(frm.window.caption(), "Einstellungen");
  EXPECT_EQ(frm.cboMax.text(), "3");
  EXPECT_TRUE(frm.optYes.value());
  EXPECT_FALSE(frm.optNo.value());
  EXPECT_EQ(frm.chkPrev.value(), ui::CheckBox::Unchecked);
  EXPECT_EQ(frm.chkFront.value(), ui::CheckBox::Unchecked);
  frm.window.close();

  settings = {20, false, true, true};
  FrmSettings &again = opened();
  EXPECT_EQ(again.cboMax.text(), "20");
  EXPECT_FALSE(again.optYes.value());
  EXPECT_TRUE(again.optNo.value());
  EXPECT_EQ(again.chkPrev.value(), ui::CheckBox::Checked);
  EXPECT_EQ(again.chkFront.value(), ui::CheckBox::Checked);
}

TEST_F(SettingsWindowTest, AnUnlistedPageCountShowsTheNearestUntilSaved) {
  for (const auto &[pages, shown] : {std::pair{0, "1"}, {-3, "1"}, {99, "20"}}) {
    settings.respages = static_cast<std::int16_t>(pages);
    FrmSettings &frm = opened();
    EXPECT_EQ(frm.cboMax.text(), shown);
    frm.cmdAbort.click();
    EXPECT_EQ(settings.respages, pages);
  }
  opened().cmdSave.click();
  EXPECT_EQ(settings.respages, 20);
}

TEST_F(SettingsWindowTest, SaveTakesTheWindowsValuesAndCancelKeepsTheOldOnes) {
  FrmSettings &frm = opened();
  frm.cboMax.setText("7");
  frm.optNo.setValue(true);
  frm.chkPrev.setValue(ui::CheckBox::Grayed);  // grey is not on
  frm.chkFront.setValue(ui::CheckBox::Unchecked);
  frm.cmdAbort.click();
  EXPECT_FALSE(frm.window.isOpen());
  EXPECT_EQ(settings, (Settings{3, true, false, true}));

  FrmSettings &second = opened();
  EXPECT_EQ(second.cboMax.text(), "3");
  second.cboMax.setText("7");
  second.optNo.setValue(true);
  second.chkPrev.setValue(ui::CheckBox::Grayed);
  second.chkFront.setValue(ui::CheckBox::Unchecked);
  second.cmdSave.click();
  EXPECT_FALSE(second.window.isOpen());
  EXPECT_EQ(settings, (Settings{7, false, false, false}));

  FrmSettings &third = opened();
  third.chkPrev.setValue(ui::CheckBox::Checked);
  third.cmdSave.click();
  EXPECT_TRUE(settings.preview);

  // Esc is the cancel button.
  FrmSettings &fourth = opened();
  fourth.cboMax.setText("9");
  fourth.window.escape();
  EXPECT_FALSE(fourth.window.isOpen());
  EXPECT_EQ(settings.respages, 7);
}

TEST_F(SettingsWindowTest, ClearingTheSearchHistoryEmptiesItAtOnce) {
  history.add("katze");
  FrmSettings &frm = opened();
  frm.cmdHistory.click();
  EXPECT_TRUE(history.entries().empty());
  frm.cmdAbort.click();
  EXPECT_TRUE(history.entries().empty());
}

TEST_F(SettingsWindowTest, OnlyOneWindowAndTheOpeningStepsRunOnlyForANewOne) {
  FrmSettings &frm = opened();
  frm.cboMax.setText("9");
  settings.respages = 5;
  host.open();
  EXPECT_EQ(host.window(), &frm);
  EXPECT_TRUE(frm.window.isOpen());
  EXPECT_EQ(frm.cboMax.text(), "9");

  frm.window.close();  // the user's close box
  FrmSettings &fresh = opened();
  EXPECT_TRUE(fresh.window.isOpen());
  EXPECT_TRUE(fresh.window.topmost());
  EXPECT_EQ(fresh.cboMax.text(), "5");
  EXPECT_EQ(settings.respages, 5);
}

}  // namespace
}  // namespace kf::windows
