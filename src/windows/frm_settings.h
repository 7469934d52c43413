#pragma once
// The settings window: shows the four settings in force, changes them in memory on Save and leaves
// them alone on Cancel or Esc. The file is written only when the program closes. Its button
// "Suchverlauf löschen" empties the search history at once.
#include <array>
#include <memory>

#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"
#include "store/search_history.h"
#include "store/settings.h"

namespace kf::windows {

class FrmSettings {
 public:
  // Makes the window with its controls and puts the settings in force into them; not shown yet.
  FrmSettings(ui::Toolkit &toolkit, store::Settings &settings, store::SearchHistory &history);

  ui::Window window;
  ui::ImageBox &img;
  std::array<ui::Label *, 5> lab;  // the window's five labels, by their index
  ui::ComboBox &cboMax;
  ui::Frame &fraClean;  // the option pair's group, named by its question
  ui::OptionButton &optYes;
  ui::OptionButton &optNo;
  ui::CheckBox &chkPrev;
  ui::CheckBox &chkFront;
  ui::Button &cmdHistory;
  ui::Button &cmdAbort;
  ui::Button &cmdSave;

 private:
  void showSettings();
  void save();

  store::Settings &settings_;
};

// Keeps the settings window to one at a time: the main window's settings button calls open().
class SettingsWindowHost {
 public:
  SettingsWindowHost(ui::Toolkit &toolkit, store::Settings &settings, store::SearchHistory &history)
      : toolkit_(toolkit), settings_(settings), history_(history) {}

  // Brings the open window to the front, or makes and shows a new one with the settings in force.
  void open();
  // The window made last, open or closed; nullptr before the first open().
  FrmSettings *window() const { return frm_.get(); }

 private:
  ui::Toolkit &toolkit_;
  store::Settings &settings_;
  store::SearchHistory &history_;
  std::unique_ptr<FrmSettings> frm_;
};

}  // namespace kf::windows
