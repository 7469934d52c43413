#pragma once
// How the main window answers the mouse on the result list: a click puts the entry's title into the
// selection line and, with the preview setting on, fetches and shows its preview picture (a click on
// a favourite does the same); a double click plays the video; a right-button release shows the
// command panel.
#include <functional>
#include <optional>
#include <string>

#include "platform/http/internet_transfer.h"
#include "store/settings.h"
#include "windows/main_controls.h"
#include "windows/video_rows.h"

namespace kf::windows {

class ResultListReactions {
 public:
  // Builds the watch page for a video id and the text of its "Film" column and shows it.
  using WatchFunction = std::function<void(const std::string &videoId, const std::string &film)>;

  // Installs the handlers on controls.lstResult, the click on controls.lstFavs and the picture
  // transfer's handler. Pictures are kept under appDir (see picture_file.h).
  ResultListReactions(MainControls &controls, VideoView results, VideoView favourites, const store::Settings &settings,
                      std::string appDir, WatchFunction buildWatchPage,
                      http::Limits limits = http::limitsFor(http::TransferKind::Picture));
  ResultListReactions(const ResultListReactions &) = delete;
  ResultListReactions &operator=(const ResultListReactions &) = delete;

 private:
  void entryClicked(const VideoView &view);
  void doubleClicked();
  void buttonReleased(int button);
  void GetPic(const std::string &pictureAddress);
  void stateChanged(int code);

  MainControls &controls_;
  VideoView results_;
  VideoView favourites_;
  const store::Settings &settings_;
  std::string appDir_;
  WatchFunction buildWatchPage_;
  http::InternetTransfer Inet1;
  // What the picture transfer delivered and no fetch has used yet (empty or one byte: nothing).
  std::string transferBytes_;
  // A click during a picture fetch only notes its picture; the fetch that runs takes it up next.
  bool fetching_ = false;
  std::optional<std::string> nextPicture_;
};

}  // namespace kf::windows
