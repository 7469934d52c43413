#include "fetch/download_row.h"

#include <algorithm>

#include "fetch/open_check.h"
#include "fetch/row_texts.h"
#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "platform/ui/toolkit.h"

namespace kf::fetch {
namespace {

using text::cp1252;

// Geometry in twips. The buttons' column is as wide as the widest pair, so that the bars of all rows
// line up whatever their state.
constexpr float kMargin = 120;
constexpr float kButtonsWidth = 2880;
constexpr float kButtonHeight = 405;
constexpr float kButtonTop = 240;
constexpr float kLineHeight = 255;
constexpr float kStatusTop = 585;
constexpr float kBytesWidth = 2280;
constexpr float kSpeedLeft = 2400;
constexpr float kSpeedWidth = 1320;
constexpr float kLeftLeft = 3840;
constexpr int kBarSteps = 1000;

template <class T>
T &made(ui::Window &window, ui::Control &pane, const std::string &name, int number) {
  return window.add<T>(name + std::to_string(number), &pane, {});
}

ui::Button &button(ui::Window &window, ui::Control &pane, const std::string &name, int number,
                   std::u8string_view caption) {
  ui::Button &made = window.add<ui::Button>(name + std::to_string(number), &pane, {}, number * 10);
  made.setCaption(cp1252(caption));
  return made;
}

void placeAt(ui::Control &control, float left, float top, float width, float height) {
  control.setLeft(left);
  control.setTop(top);
  control.setWidth(std::max(width, 0.0F));
  control.setHeight(height);
}

int barValue(const Download &download) {
  const auto size = download.size();
  if (!size || *size == 0) return download.state() == DownloadState::Finished ? kBarSteps : 0;
  return static_cast<int>(std::min(download.bytes(), *size) * kBarSteps / *size);
}

}  // namespace

DownloadRow::DownloadRow(ui::Window &window, ui::Control &pane, int number, std::unique_ptr<Download> download,
                         const DesktopServices &desktop)
    : c{made<ui::Label>(window, pane, "labName", number),
        made<ui::ProgressBar>(window, pane, "prgBytes", number),
        made<ui::Label>(window, pane, "labBytes", number),
        made<ui::Label>(window, pane, "labSpeed", number),
        made<ui::Label>(window, pane, "labLeft", number),
        made<ui::Label>(window, pane, "labState", number),
        button(window, pane, "cmdCancel", number, u8"Abbrechen"),
        button(window, pane, "cmdRetry", number, u8"Erneut versuchen"),
        button(window, pane, "cmdOpen", number, u8"Öffnen"),
        button(window, pane, "cmdFolder", number, u8"Ordner öffnen")},
      window_(window),
      download_(std::move(download)),
      desktop_(desktop) {
  c.labName.setLook(ui::Align::Left, {"MS Sans Serif", 8.25F, true});
  c.prgBytes.setMax(kBarSteps);
  c.cmdCancel.onClick = [this] { download_->cancel(); };
  c.cmdRetry.onClick = [this] { download_->start(); };
  c.cmdOpen.onClick = [this] { open(); };
  c.cmdFolder.onClick = [this] { openFolder(); };
  download_->onChange = [this] { show(); };
  download_->start();
}

DownloadRow::~DownloadRow() {
  // The controls stay with the window; nothing they raise may reach this row any more.
  for (ui::Button *button : {&c.cmdCancel, &c.cmdRetry, &c.cmdOpen, &c.cmdFolder}) button->onClick = nullptr;
}

void DownloadRow::place(float top, float width) {
  const float textWidth = width - 3 * kMargin - kButtonsWidth;
  const float right = width - kMargin;
  placeAt(c.labName, kMargin, top + 60, textWidth, kLineHeight);
  placeAt(c.prgBytes, kMargin, top + 345, textWidth, 195);
  placeAt(c.labBytes, kMargin, top + kStatusTop, kBytesWidth, kLineHeight);
  placeAt(c.labSpeed, kMargin + kSpeedLeft, top + kStatusTop, kSpeedWidth, kLineHeight);
  placeAt(c.labLeft, kMargin + kLeftLeft, top + kStatusTop, textWidth - kLeftLeft, kLineHeight);
  // Two lines for a reason why the download failed.
  placeAt(c.labState, kMargin + kSpeedLeft, top + kStatusTop, textWidth - kSpeedLeft, 2 * kLineHeight);
  placeAt(c.cmdCancel, right - 1200, top + kButtonTop, 1200, kButtonHeight);
  placeAt(c.cmdRetry, right - 1800, top + kButtonTop, 1800, kButtonHeight);
  placeAt(c.cmdFolder, right - 1560, top + kButtonTop, 1560, kButtonHeight);
  placeAt(c.cmdOpen, right - 1560 - 90 - 1140, top + kButtonTop, 1140, kButtonHeight);
}

void DownloadRow::open() {
  const Download &d = *download_;
  if (!opensWithoutAsking(d.name(), d.contentType(), d.firstBytes()) &&
      !window_.toolkit().askYesNo(openQuestion(d.name(), d.contentType()), window_.caption())) {
    return;
  }
  openPath(d.path(), false);
}

void DownloadRow::openFolder() {
  openPath(download_->folder(), true);
}

void DownloadRow::openPath(const std::string &path, bool isFolder) {
  std::optional<std::string> failure;
  if (isFolder ? !files::folderExists(path) : !files::fileExists(path)) {
    failure = isFolder ? cp1252(u8"Es gibt ihn nicht mehr.") : cp1252(u8"Es gibt sie nicht mehr.");
  } else {
    failure = desktop_.open(path);
  }
  if (!failure) return;
  const std::string what = isFolder ? cp1252(u8"Der Ordner „") : cp1252(u8"Die Datei „");
  window_.toolkit().messageBox(what + text::fromUtf8(path) + cp1252(u8"“ kann nicht geöffnet werden. ") + *failure,
                               window_.caption(), ui::MessageIcon::Exclamation);
}

void DownloadRow::show() {
  const Download &d = *download_;
  const DownloadState state = d.state();
  const bool running = state == DownloadState::Running;
  const std::string name = text::fromUtf8(d.name());
  c.labName.setCaption(name);
  c.labName.setToolTip(name);
  c.prgBytes.setAccessibleName(name);

  // Without a size there is nothing to measure against: the bar is busy while bytes come.
  c.prgBytes.setBusy(running && !d.size());
  c.prgBytes.setValue(barValue(d));
  c.labBytes.setVisible(state != DownloadState::Cancelled);
  c.labBytes.setCaption(state == DownloadState::Finished ? byteText(d.bytes()) : progressText(d.bytes(), d.size()));

  const auto speed = d.bytesPerSecond();
  c.labSpeed.setVisible(running);
  c.labSpeed.setCaption(running && speed ? speedText(*speed) : std::string());
  c.labLeft.setVisible(running);
  const bool canTell = running && speed && *speed > 0 && d.size();
  c.labLeft.setCaption(canTell ? timeLeftText(std::chrono::seconds(
                                     static_cast<long long>(static_cast<double>(*d.size() - d.bytes()) / *speed)))
                               : std::string());

  c.labState.setVisible(!running);
  const std::string stateText = state == DownloadState::Finished    ? cp1252(u8"Fertig")
                                : state == DownloadState::Cancelled ? cp1252(u8"Abgebrochen")
                                                                    : d.problem();
  c.labState.setCaption(stateText);
  // A long reason does not fit its line; the whole of it is under the pointer.
  c.labState.setToolTip(stateText);

  c.cmdCancel.setVisible(running);
  c.cmdRetry.setVisible(state == DownloadState::Cancelled || (state == DownloadState::Failed && d.retryable()));
  c.cmdOpen.setVisible(state == DownloadState::Finished);
  c.cmdFolder.setVisible(state == DownloadState::Finished);

  if (state != shown_ && state == DownloadState::Finished) {
    desktop_.notify("Download abgeschlossen", "Gespeichert unter " + d.path());
  } else if (state != shown_ && state == DownloadState::Failed) {
    desktop_.notify("Download fehlgeschlagen", d.address() + "\n" + text::toUtf8(d.problem()));
  }
  shown_ = state;
}

}  // namespace kf::fetch
