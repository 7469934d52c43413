#include "windows/frm_settings.h"

#include <algorithm>
#include <string>

#include "platform/base/cp1252.h"
#include "store/whole_number.h"
#include "windows/store_messages.h"

namespace kf::windows {
namespace {

ui::WindowStyle settingsStyle() {
  ui::WindowStyle style;
  style.sizable = false;
  style.toolWindow = true;
  style.showInTaskbar = false;
  style.dialog = true;
  style.centred = true;
  style.icon = "klipfang.svg";
  return style;
}

ui::Label *addLabel(ui::Window &window, int index, std::u8string_view caption, ui::Geometry geometry, int tab,
                    float points) {
  auto &label = window.add<ui::Label>("lab(" + std::to_string(index) + ")", nullptr, geometry, tab);
  label.setCaption(text::cp1252(caption));
  label.setLook(ui::Align::Left, ui::Font{"MS Sans Serif", points, true});
  return &label;
}

}  // namespace

// Geometry is left, top, width, height in twips; the last number is the tab position: the fields
// from top to bottom, then Save and Cancel. The option pair is one stop.
FrmSettings::FrmSettings(ui::Toolkit &toolkit, store::Settings &settings, store::SearchHistory &history)
    : window(toolkit, "frmSettings", text::cp1252(u8"Einstellungen"), 4185, 3450, settingsStyle()),
      img(window.add<ui::ImageBox>("img", nullptr, {120, 120, 675, 600})),
      lab{addLabel(window, 0, u8"Maximale Ergebnisse:", {120, 840, 1935, 255}, 10, 8.25F),
          addLabel(window, 1, u8"Einstellungen", {960, 240, 2655, 375}, 11, 12.0F),
          addLabel(window, 2, u8"Gel. Texte reinigen:", {240, 1200, 1935, 255}, 12, 8.25F),
          addLabel(window, 3, u8"Bild-Vorschau:", {720, 1800, 1335, 255}, 13, 8.25F),
          addLabel(window, 4, u8"Videos im Vordergrund:", {0, 2160, 2175, 255}, 14, 8.25F)},
      cboMax(window.add<ui::ComboBox>("cboMax", nullptr, {2040, 820, 615, 315}, 1)),
      fraClean(window.add<ui::Frame>("fraClean", nullptr, {2040, 1200, 855, 495}, 15)),
      optYes(window.add<ui::OptionButton>("optYes", &fraClean, {0, 0, 855, 255}, 2)),
      optNo(window.add<ui::OptionButton>("optNo", &fraClean, {0, 240, 855, 255}, 3)),
      chkPrev(window.add<ui::CheckBox>("chkPrev", nullptr, {2040, 1800, 2055, 255}, 4)),
      chkFront(window.add<ui::CheckBox>("chkFront", nullptr, {2040, 2160, 1935, 255}, 5)),
      cmdHistory(window.add<ui::Button>("cmdHistory", nullptr, {2040, 2520, 1935, 330}, 6)),
      cmdAbort(window.add<ui::Button>("cmdAbort", nullptr, {2760, 3000, 495, 375}, 8)),
      cmdSave(window.add<ui::Button>("cmdSave", nullptr, {3480, 3000, 495, 375}, 7)),
      settings_(settings) {
  img.setAsset("settings.svg");
  img.setAccessibleName(text::cp1252(u8"Einstellungen"));
  for (int pages = 1; pages <= store::kMostResultPages; ++pages) cboMax.addItem(std::to_string(pages));
  // The fields are called by their questions, without the colon; where the system calls a drop-down
  // list by its value, its label names it.
  cboMax.setAccessibleName(text::cp1252(u8"Maximale Ergebnisse"));
  lab[0]->setLabelFor(&cboMax);
  fraClean.setPlain(true);
  fraClean.setAccessibleName(text::cp1252(u8"Gel. Texte reinigen"));
  optYes.setCaption(text::cp1252(u8"Ja"));
  optNo.setCaption(text::cp1252(u8"Nein"));
  optYes.setGroup({&optYes, &optNo});
  optNo.setGroup({&optYes, &optNo});
  chkPrev.setCaption(text::cp1252(u8"Ja (längere Ladezeiten)"));
  chkPrev.setAccessibleName(text::cp1252(u8"Bild-Vorschau (längere Ladezeiten)"));
  chkFront.setCaption(text::cp1252(u8"Ja"));
  chkFront.setAccessibleName(text::cp1252(u8"Videos im Vordergrund"));
  cmdHistory.setCaption(text::cp1252(u8"Suchverlauf löschen"));
  cmdHistory.setToolTip(text::cp1252(u8"Die früheren Suchen des Suchfelds vergessen"));
  cmdAbort.setPicture("cancel.svg");
  cmdAbort.setAccessibleName(text::cp1252(u8"Abbrechen"));
  cmdAbort.setToolTip(text::cp1252(u8"Abbrechen (Esc)"));
  cmdSave.setPicture("save.svg");
  cmdSave.setAccessibleName(text::cp1252(u8"Übernehmen"));
  cmdSave.setToolTip(text::cp1252(u8"Übernehmen"));
  cmdHistory.onClick = [&history] { saveTelling([&history] { history.clear(); }); };
  cmdAbort.onClick = [this] { window.close(); };
  cmdSave.onClick = [this] { save(); };
  window.onEscape = [this] { cmdAbort.click(); };
  showSettings();
}

void FrmSettings::showSettings() {
  // The settings window stays above everything, whatever the video window's setting says.
  window.setTopmost(true);
  // A hand-edited file may hold a page count the list does not offer: show the nearest entry. The
  // setting itself changes only if the user saves.
  cboMax.setText(std::to_string(std::clamp<int>(settings_.respages, 1, store::kMostResultPages)));
  if (settings_.cleartxt) {
    optYes.setValue(true);
  } else {
    optNo.setValue(true);
  }
  chkPrev.setValue(settings_.preview ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
  chkFront.setValue(settings_.infront ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
}

void FrmSettings::save() {
  if (const auto pages = store::parseInt16(cboMax.text())) settings_.respages = *pages;
  if (optYes.value()) {
    settings_.cleartxt = true;
  } else if (optNo.value()) {
    settings_.cleartxt = false;
  }
  // A grey check box counts as off.
  settings_.preview = chkPrev.value() == ui::CheckBox::Checked;
  settings_.infront = chkFront.value() == ui::CheckBox::Checked;
  window.close();
}

void SettingsWindowHost::open() {
  if (frm_ && frm_->window.isOpen()) {
    frm_->window.show();
    return;
  }
  frm_ = std::make_unique<FrmSettings>(toolkit_, settings_, history_);
  frm_->window.show();
}

}  // namespace kf::windows
