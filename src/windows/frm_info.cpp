#include "windows/frm_info.h"

#include "platform/base/cp1252.h"
#include "windows/main_keys.h"

namespace kf::windows {
namespace {

using text::cp1252;

ui::WindowStyle infoStyle() {
  ui::WindowStyle style;
  style.sizable = false;
  style.toolWindow = true;
  style.showInTaskbar = false;
  style.dialog = true;
  style.centred = true;
  style.background = ui::rgb(255, 255, 255);
  return style;
}

ui::Label &labelWith(ui::Label &label, std::u8string_view caption, ui::Align align, ui::Font font = {},
                     std::uint32_t color = ui::kBlack) {
  label.setCaption(cp1252(caption));
  label.setLook(align, std::move(font), color);
  return label;
}

}  // namespace

std::string homepageAddress(const net::SiteAddress &site) {
  return site.root + "/klipfang";
}

// Geometry is left, top, width, height in twips; the last number is the tab position.
FrmInfo::FrmInfo(ui::Toolkit &toolkit, const std::string &homepage, OpenInBrowser openInBrowser)
    : window(toolkit, "frmInfo", "Info", 6840, 5400, infoStyle()),
      lab(labelWith(window.add<ui::Label>("lab", nullptr, {2040, 120, 2655, 375}, 0), u8"Klipfang 1.0",
                    ui::Align::Center, {"MS Sans Serif", 12, true})),
      Label1(labelWith(window.add<ui::Label>("Label1", nullptr, {2160, 480, 2415, 255}, 2),
                       u8"von den Klipfang-Machern", ui::Align::Center)),
      Label3(labelWith(window.add<ui::Label>("Label3", nullptr, {120, 1440, 3735, 375}, 4),
                       u8"Programmiert mit Sorgfalt vom Klipfang-Team.", ui::Align::Left)),
      // Wide enough for the whole homepage address, up to the close button; a narrower label breaks
      // the bundled site's address into a second line and cuts that off.
      Label2(window.add<ui::Label>("Label2", nullptr, {120, 2040, 3975, 255}, 3)),
      Image1(window.add<ui::ImageBox>("Image1", nullptr, {120, 120, 1875, 1275})),
      cmdClose(window.add<ui::Button>("cmdClose", nullptr, {6345, 1920, 375, 375}, 1)),
      lstKeys(window.add<ui::ListView>("lstKeys", nullptr, {120, 2400, 6600, 2880}, 5)) {
  // One value for what is shown and what a click opens.
  Label2.setCaption(homepage);
  Label2.setLook(ui::Align::Center, {"MS Sans Serif", 8.25F, true}, ui::rgb(0, 0, 192));
  Label2.setLink(true);
  Label2.setToolTip(cp1252(u8"Die Homepage im Browser öffnen (Eingabe)"));
  Label2.onClick = [homepage, openInBrowser = std::move(openInBrowser)] { openInBrowser(homepage, true); };
  Image1.setAsset("logo.svg");
  Image1.setAccessibleName(cp1252(u8"Logo von Klipfang"));
  cmdClose.setPicture("close.svg");
  cmdClose.setAccessibleName(cp1252(u8"Schließen"));
  cmdClose.setToolTip(cp1252(u8"Schließen (Esc)"));
  cmdClose.onClick = [this] { window.close(); };
  window.onEscape = [this] { window.close(); };
  lstKeys.setAccessibleName(cp1252(u8"Tasten"));
  lstKeys.addColumn(cp1252(u8"Taste"));
  lstKeys.addColumn(cp1252(u8"Befehl"));
  lstKeys.setColumnWidth(1, 2250);
  lstKeys.setColumnWidth(2, 4050);
  for (const KeyHelp &key : keyHelp()) lstKeys.addSubItem(lstKeys.addItem(cp1252(key.keys)), cp1252(key.does));
}

InfoWindow::InfoWindow(ui::Toolkit &toolkit, const net::SiteAddress &site, OpenInBrowser openInBrowser)
    : toolkit_(toolkit), homepage_(homepageAddress(site)), openInBrowser_(std::move(openInBrowser)) {}

void InfoWindow::open() {
  if (FrmInfo *open = current()) {
    open->window.show();
    return;
  }
  // A closed window is discarded here rather than when it closes: its close runs inside its own
  // event handlers.
  form_.reset();
  form_ = std::make_unique<FrmInfo>(toolkit_, homepage_, openInBrowser_);
  form_->window.setTopmost(true);
  form_->window.show();
}

FrmInfo *InfoWindow::current() const {
  return form_ && form_->window.isOpen() ? form_.get() : nullptr;
}

}  // namespace kf::windows
