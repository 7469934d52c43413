#include "windows/result_list_reactions.h"

#include "platform/base/error.h"
#include "platform/os/files.h"
#include "platform/ui/toolkit.h"
#include "windows/picture_file.h"

namespace kf::windows {
namespace {

constexpr int kRightButton = 2;
constexpr std::size_t kPieceBytes = 1024;

// A failed step of the picture fetch is shown and the fetch goes on with its next step.
template <class Step>
void guarded(Step step) {
  try {
    step();
  } catch (const Error &error) {
    ui::toolkit().messageBox(error.description(), "Klipfang", ui::MessageIcon::None);
  }
}

}  // namespace

ResultListReactions::ResultListReactions(MainControls &controls, VideoView results, VideoView favourites,
                                         const store::Settings &settings, std::string appDir,
                                         WatchFunction buildWatchPage, http::Limits limits)
    : controls_(controls),
      results_(results),
      favourites_(favourites),
      settings_(settings),
      appDir_(std::move(appDir)),
      buildWatchPage_(std::move(buildWatchPage)),
      Inet1(controls.window.toolkit().poster(), limits) {
  controls_.lstResult.onItemClick = [this](int) { entryClicked(results_); };
  controls_.lstFavs.onItemClick = [this](int) { entryClicked(favourites_); };
  controls_.lstResult.onDblClick = [this] { doubleClicked(); };
  controls_.lstResult.onMouseUp = [this](int button, int, float, float) { buttonReleased(button); };
  Inet1.onStateChanged = [this](int code) { stateChanged(code); };
}

void ResultListReactions::entryClicked(const VideoView &view) {
  auto selected = view.selected();
  if (!selected) return;
  view.list.setToolTip(selected->Title);
  controls_.labSel.setCaption(selected->Title);
  if (!settings_.preview) {
    nextPicture_.reset();
    return;
  }
  nextPicture_ = std::move(selected->PictureUrl);
  // Clicked while a picture is on its way: the running fetch takes this one up when it is done, so
  // only one transfer runs and the last click decides the picture shown.
  if (fetching_) return;

  struct Busy {
    ResultListReactions &self;
    explicit Busy(ResultListReactions &reactions) : self(reactions) {
      self.fetching_ = true;
      self.controls_.labWait.setVisible(true);
    }
    ~Busy() {
      self.controls_.labWait.setVisible(false);
      self.fetching_ = false;
    }
  } busy(*this);
  while (nextPicture_) {
    const std::string address = std::move(*nextPicture_);
    nextPicture_.reset();
    GetPic(address);
  }
}

void ResultListReactions::doubleClicked() {
  if (const auto selected = results_.selected()) {
    buildWatchPage_(selected->VideoId, selected->Description);
  }
}

void ResultListReactions::buttonReleased(int button) {
  if (controls_.lstResult.count() > 0 && button == kRightButton) controls_.fraCMD.setVisible(true);
}

void ResultListReactions::GetPic(const std::string &pictureAddress) {
  ui::Toolkit &toolkit = ui::toolkit();
  controls_.window.setMousePointer(ui::MousePointer::Hourglass);
  controls_.imgPrev.clearPicture();
  // Lets the cleared picture and the wait label be drawn before the fetch.
  toolkit.doEvents();
  transferBytes_.clear();
  guarded([&] { Inet1.execute(pictureAddress); });
  // The completion event fills transferBytes_ during this wait; the wait sleeps in the event loop.
  while (Inet1.stillExecuting()) toolkit.waitForEvent();
  // A single byte is no picture: it counts as nothing received.
  if (transferBytes_.size() > 1) {
    guarded([&] {
      const std::string path = picturePath(appDir_, pictureAddress);
      ensurePictureFolder(appDir_);
      files::writeBytes(path, transferBytes_);
    });
    transferBytes_.clear();
    guarded([&] { controls_.imgPrev.loadPicture(picturePath(appDir_, pictureAddress)); });
  }
  controls_.window.setMousePointer(ui::MousePointer::Default);
}

void ResultListReactions::stateChanged(int code) {
  if (code != http::kStateResponseCompleted) return;
  transferBytes_.clear();
  for (std::string piece = Inet1.getChunk(kPieceBytes); !piece.empty(); piece = Inet1.getChunk(kPieceBytes)) {
    transferBytes_ += piece;
  }
}

}  // namespace kf::windows
