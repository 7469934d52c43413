#pragma once
// One row of the downloads window: the file's name, a progress bar, the bytes, speed and time left
// while it runs, and the buttons for what can be done with it now.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "downloads/download.h"
#include "platform/ui/window.h"

namespace kf::downloads {

// What the downloads window asks of the desktop; the real program hands these to the desktop's
// opener and its notifications, tests record them. Questions go to the window's toolkit.
struct DesktopServices {
  // Opens a file or folder (UTF-8 path) with the program the user chose for it: nothing once that
  // started, else why it could not (Windows-1252).
  std::function<std::optional<std::string>(const std::string &path)> open;
  // A notification; texts are UTF-8.
  std::function<void(const std::string &summary, const std::string &body)> notify;
};

struct RowControls {
  // Holds the others and names the row for a screen reader: the file and how it stands.
  ui::Frame &fraRow;
  ui::Label &labName;
  ui::ProgressBar &prgBytes;
  ui::Label &labBytes;
  ui::Label &labSpeed;
  ui::Label &labLeft;
  ui::Label &labState;  // "Fertig", "Abgebrochen" or why it failed, where speed and time left stood
  ui::Button &cmdCancel;
  ui::Button &cmdRetry;
  ui::Button &cmdOpen;
  ui::Button &cmdFolder;
};

class DownloadRow {
 public:
  // The row's controls go into a frame in `pane`, named with `number` ("labName2"). The download
  // starts at once.
  DownloadRow(ui::Window &window, ui::Control &pane, int number, std::unique_ptr<Download> download,
              const DesktopServices &desktop);
  // The download goes with its row: stopped, and whatever it left unfinished removed.
  ~DownloadRow();
  DownloadRow(const DownloadRow &) = delete;
  DownloadRow &operator=(const DownloadRow &) = delete;

  static constexpr float kHeight = 1140;
  // Lays the row out `width` twips wide from `top`.
  void place(float top, float width);

  Download &download() { return *download_; }

  // The download started, ended or failed.
  std::function<void()> onStateChange;

  RowControls controls;

 private:
  // The finished file to the desktop's opener; anything but a video or audio file after a question.
  void open();
  void openFolder();
  // Hands `path` to the desktop's opener; what fails is told naming the file or folder.
  void openPath(const std::string &path, bool isFolder);
  void show();

  ui::Window &window_;
  std::unique_ptr<Download> download_;
  const DesktopServices &desktop_;
  DownloadState shown_ = DownloadState::Running;
};

}  // namespace kf::downloads
