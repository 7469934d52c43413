#include "windows/downloads/frm_downloads.h"

#include <algorithm>

#include "platform/base/cp1252.h"

namespace kf::downloads {
namespace {

using text::cp1252;

// Room for the pane's scroll bar, so that rows need not move when it comes.
constexpr float kScrollBarWidth = 300;

ui::WindowStyle downloadsStyle() {
  ui::WindowStyle style;
  style.centred = true;
  style.icon = "klipfang.svg";
  return style;
}

int runningCount(const std::vector<std::unique_ptr<DownloadRow>> &rows) {
  return static_cast<int>(
      std::ranges::count_if(rows, [](const auto &row) { return row->download().state() == DownloadState::Running; }));
}

std::string closeQuestion(int running) {
  return running == 1 ? cp1252(u8"Ein Download läuft noch. Soll er abgebrochen und das Fenster geschlossen werden?")
                      : cp1252(u8"Es laufen noch ") + std::to_string(running) +
                            cp1252(u8" Downloads. Sollen sie abgebrochen und das Fenster geschlossen werden?");
}

}  // namespace

FrmDownloads::FrmDownloads(ui::Toolkit &toolkit, std::string folder, DesktopServices desktop)
    : window(toolkit, "frmDownloads", cp1252(u8"Klipfang – Downloads"), 10500, 4560, downloadsStyle()),
      fraRows(window.add<ui::ScrollPane>("fraRows", nullptr, {0, 0, 10500, 4560})),
      folder_(std::move(folder)),
      desktop_(std::move(desktop)) {
  fraRows.setAccessibleName("Downloads");
  window.onResize = [this] { layout(); };
  window.onCloseRequest = [this] { return mayClose(); };
  window.onClose = [this] { closed(); };
  window.onEscape = [this] { window.requestClose(); };
}

bool FrmDownloads::add(const std::string &address) {
  if (closed_) return false;
  const int number = static_cast<int>(rows.size()) + 1;
  rows.push_back(std::make_unique<DownloadRow>(
      window, fraRows, number, std::make_unique<Download>(address, folder_, ui::toolkit().poster()), desktop_));
  rows.back()->onStateChange = [this] { runningChanged(); };
  runningChanged();
  layout();
  window.show();
  fraRows.scrollIntoView(static_cast<float>(number - 1) * DownloadRow::kHeight, DownloadRow::kHeight);
  return true;
}

void FrmDownloads::layout() {
  // A minimised window has no room; its rows keep their places for when it comes back.
  if (window.clientWidth() <= 0 || window.clientHeight() <= 0) return;
  fraRows.setWidth(window.clientWidth());
  fraRows.setHeight(window.clientHeight());
  fraRows.setContentHeight(static_cast<float>(rows.size()) * DownloadRow::kHeight);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i]->place(static_cast<float>(i) * DownloadRow::kHeight, window.clientWidth() - kScrollBarWidth);
  }
}

bool FrmDownloads::mayClose() {
  for (;;) {
    const int running = runningCount(rows);
    if (running == 0) return true;
    const std::size_t asked = rows.size();
    ui::OpenQuestion question(closeQuestion(running));
    asking_ = &question;
    const bool yes = window.toolkit().askYesNo(question, window.caption());
    asking_ = nullptr;
    // The last download ended while the user read the question: the close ends nothing any more.
    if (question.withdrawn()) return true;
    if (!yes) return false;
    // A download handed over while the question was open was not in it: the answer does not cover
    // it, so the question comes again with every download that runs now.
    if (rows.size() == asked) return true;
  }
}

void FrmDownloads::runningChanged() {
  if (!asking_) return;
  const int running = runningCount(rows);
  if (running == 0) {
    asking_->withdraw();
  } else if (asking_->text() != closeQuestion(running)) {
    asking_->setText(closeQuestion(running));
  }
}

void FrmDownloads::closed() {
  closed_ = true;
  rows.clear();
  if (onClosed) onClosed();
}

}  // namespace kf::downloads
