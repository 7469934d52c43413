#include "windows/downloads/download_row.h"

#include <algorithm>

#include "downloads/open_check.h"
#include "downloads/row_texts.h"
#include "platform/base/cp1252.h"
#include "platform/os/files.h"
#include "platform/ui/toolkit.h"

namespace kf::downloads {
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
T &made(ui::Window &window, ui::Control &row, const std::string &name, int number) {
  return window.add<T>(name + std::to_string(number), &row, {});
}

ui::Frame &rowFrame(ui::Window &window, ui::Control &pane, int number) {
  auto &row = made<ui::Frame>(window, pane, "fraRow", number);
  row.setPlain(true);
  return row;
}

ui::Button &button(ui::Window &window, ui::Control &row, const std::string &name, int number,
                   std::u8string_view caption) {
  auto &made = window.add<ui::Button>(name + std::to_string(number), &row, {}, number * 10);
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
    : controls{rowFrame(window, pane, number),
               made<ui::Label>(window, controls.fraRow, "labName", number),
               made<ui::ProgressBar>(window, controls.fraRow, "prgBytes", number),
               made<ui::Label>(window, controls.fraRow, "labBytes", number),
               made<ui::Label>(window, controls.fraRow, "labSpeed", number),
               made<ui::Label>(window, controls.fraRow, "labLeft", number),
               made<ui::Label>(window, controls.fraRow, "labState", number),
               button(window, controls.fraRow, "cmdCancel", number, u8"Abbrechen"),
               button(window, controls.fraRow, "cmdRetry", number, u8"Erneut versuchen"),
               button(window, controls.fraRow, "cmdOpen", number, u8"Öffnen"),
               button(window, controls.fraRow, "cmdFolder", number, u8"Ordner öffnen")},
      window_(window),
      download_(std::move(download)),
      desktop_(desktop) {
  controls.labName.setLook(ui::Align::Left, {"MS Sans Serif", 8.25F, true});
  controls.prgBytes.setMax(kBarSteps);
  controls.cmdCancel.onClick = [this] { download_->cancel(); };
  controls.cmdRetry.onClick = [this] { download_->start(); };
  controls.cmdOpen.onClick = [this] { open(); };
  controls.cmdFolder.onClick = [this] { openFolder(); };
  download_->onChange = [this] { show(); };
  download_->start();
}

DownloadRow::~DownloadRow() {
  // The controls stay with the window; nothing they raise may reach this row any more.
  for (ui::Button *button : {&controls.cmdCancel, &controls.cmdRetry, &controls.cmdOpen, &controls.cmdFolder})
    button->onClick = nullptr;
}

void DownloadRow::place(float top, float width) {
  placeAt(controls.fraRow, 0, top, width, kHeight);
  // The row's controls lie in its frame, from its top.
  top = 0;
  const float textWidth = width - 3 * kMargin - kButtonsWidth;
  const float right = width - kMargin;
  placeAt(controls.labName, kMargin, top + 60, textWidth, kLineHeight);
  placeAt(controls.prgBytes, kMargin, top + 345, textWidth, 195);
  placeAt(controls.labBytes, kMargin, top + kStatusTop, kBytesWidth, kLineHeight);
  placeAt(controls.labSpeed, kMargin + kSpeedLeft, top + kStatusTop, kSpeedWidth, kLineHeight);
  placeAt(controls.labLeft, kMargin + kLeftLeft, top + kStatusTop, textWidth - kLeftLeft, kLineHeight);
  // Two lines for a reason why the download failed.
  placeAt(controls.labState, kMargin + kSpeedLeft, top + kStatusTop, textWidth - kSpeedLeft, 2 * kLineHeight);
  placeAt(controls.cmdCancel, right - 1200, top + kButtonTop, 1200, kButtonHeight);
  placeAt(controls.cmdRetry, right - 1800, top + kButtonTop, 1800, kButtonHeight);
  placeAt(controls.cmdFolder, right - 1560, top + kButtonTop, 1560, kButtonHeight);
  placeAt(controls.cmdOpen, right - 1560 - 90 - 1140, top + kButtonTop, 1140, kButtonHeight);
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
  controls.labName.setCaption(name);
  controls.labName.setToolTip(name);
  controls.prgBytes.setAccessibleName(name);

  // Without a size there is nothing to measure against: the bar is busy while bytes come.
  controls.prgBytes.setBusy(running && !d.size());
  controls.prgBytes.setValue(barValue(d));
  controls.labBytes.setVisible(state != DownloadState::Cancelled);
  controls.labBytes.setCaption(state == DownloadState::Finished ? byteText(d.bytes())
                                                                : progressText(d.bytes(), d.size()));

  const auto speed = d.bytesPerSecond();
  controls.labSpeed.setVisible(running);
  controls.labSpeed.setCaption(running && speed ? speedText(*speed) : std::string());
  controls.labLeft.setVisible(running);
  const bool canTell = running && speed && *speed > 0 && d.size();
  controls.labLeft.setCaption(canTell ? timeLeftText(std::chrono::seconds(static_cast<long long>(
                                            static_cast<double>(*d.size() - d.bytes()) / *speed)))
                                      : std::string());

  controls.labState.setVisible(!running);
  const std::string stateText = state == DownloadState::Finished    ? cp1252(u8"Fertig")
                                : state == DownloadState::Cancelled ? cp1252(u8"Abgebrochen")
                                                                    : d.problem();
  controls.labState.setCaption(stateText);
  // A long reason does not fit its line; the whole of it is under the pointer.
  controls.labState.setToolTip(stateText);
  const std::string rowName = name + cp1252(u8" – ") + (running ? cp1252(u8"läuft") : stateText);
  if (controls.fraRow.accessibleName() != rowName) controls.fraRow.setAccessibleName(rowName);

  controls.cmdCancel.setVisible(running);
  controls.cmdRetry.setVisible(state == DownloadState::Cancelled || (state == DownloadState::Failed && d.retryable()));
  controls.cmdOpen.setVisible(state == DownloadState::Finished);
  controls.cmdFolder.setVisible(state == DownloadState::Finished);

  if (state != shown_ && state == DownloadState::Finished) {
    desktop_.notify("Download abgeschlossen", "Gespeichert unter " + d.path());
  } else if (state != shown_ && state == DownloadState::Failed) {
    desktop_.notify("Download fehlgeschlagen", d.address() + "\n" + text::toUtf8(d.problem()));
  }
  const bool changed = state != shown_;
  shown_ = state;
  if (changed && onStateChange) onStateChange();
}

}  // namespace kf::downloads
