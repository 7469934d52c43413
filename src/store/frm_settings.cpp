#include "store/frm_settings.h"

#include <algorithm>
#include <string>

#include "platform/base/cp1252.h"
#include "store/whole_number.h"

namespace kf::store {
namespace {

constexpr int kMostPages = 20;

ui::WindowStyle settingsStyle() {
  ui::WindowStyle style;
  style.sizable = false;
  style.toolWindow = true;
  style.showInTaskbar = false;
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

FrmSettings::FrmSettings(ui::Toolkit &toolkit, Settings &settings)
    : window(toolkit, "frmSettings", text::cp1252(u8"Einstellungen"), 4185, 3090, settingsStyle()),
      img(window.add<ui::ImageBox>("img", nullptr, {120, 120, 675, 600})),
      lab{addLabel(window, 0, u8"Maximale Ergebnisse:", {120, 840, 1935, 255}, 0, 8.25F),
          addLabel(window, 1, u8"Einstellungen", {960, 240, 2655, 375}, 4, 12.0F),
          addLabel(window, 2, u8"Gel. Texte reinigen:", {240, 1200, 1935, 255}, 5, 8.25F),
          addLabel(window, 3, u8"Bild-Vorschau:", {720, 1800, 1335, 255}, 8, 8.25F),
          addLabel(window, 4, u8"Videos im Vordergrund:", {0, 2160, 2175, 255}, 10, 8.25F)},
      cboMax(window.add<ui::ComboBox>("cboMax", nullptr, {2040, 820, 615, 315}, 1)),
      optYes(window.add<ui::OptionButton>("optYes", nullptr, {2040, 1200, 855, 255}, 6)),
      optNo(window.add<ui::OptionButton>("optNo", nullptr, {2040, 1440, 855, 255}, 7)),
      chkPrev(window.add<ui::CheckBox>("chkPrev", nullptr, {2040, 1800, 2055, 255}, 9)),
      chkFront(window.add<ui::CheckBox>("chkFront", nullptr, {2040, 2160, 1935, 255}, 11)),
      cmdAbort(window.add<ui::Button>("cmdAbort", nullptr, {2760, 2640, 495, 375}, 3)),
      cmdSave(window.add<ui::Button>("cmdSave", nullptr, {3480, 2640, 495, 375}, 2)),
      settings_(settings) {
  img.setAsset("settings.svg");
  for (int pages = 1; pages <= kMostPages; ++pages) cboMax.addItem(std::to_string(pages));
  optYes.setCaption(text::cp1252(u8"Ja"));
  optNo.setCaption(text::cp1252(u8"Nein"));
  optYes.setGroup({&optYes, &optNo});
  optNo.setGroup({&optYes, &optNo});
  chkPrev.setCaption(text::cp1252(u8"Ja (längere Ladezeiten)"));
  chkFront.setCaption(text::cp1252(u8"Ja"));
  cmdAbort.setPicture("cancel.svg");
  cmdSave.setPicture("save.svg");
  cmdAbort.onClick = [this] { window.close(); };
  cmdSave.onClick = [this] { save(); };
  showSettings();
}

void FrmSettings::showSettings() {
  // The settings window stays above everything, whatever the video window's setting says.
  window.setTopmost(true);
  // A hand-edited file may hold a page count the list does not offer: show the nearest entry. The
  // setting itself changes only if the user saves.
  cboMax.setText(std::to_string(std::clamp<int>(settings_.respages, 1, kMostPages)));
  if (settings_.cleartxt) {
    optYes.setValue(true);
  } else {
    optNo.setValue(true);
  }
  chkPrev.setValue(settings_.preview ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
  chkFront.setValue(settings_.infront ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
}

void FrmSettings::save() {
  if (const auto pages = parseInt16(cboMax.text())) settings_.respages = *pages;
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
  frm_ = std::make_unique<FrmSettings>(toolkit_, settings_);
  frm_->window.show();
}

}  // namespace kf::store
