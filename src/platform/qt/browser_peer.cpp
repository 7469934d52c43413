// The embedded browser: a Chromium view that loads what the program navigates to.
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <memory>

#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"

namespace kf::qtui {
namespace {

// A page's own full screen (the player's F key): the page moves into a view of its own that fills
// the screen, since the window it is shown in keeps its size, and back when the page leaves it.
class FullScreenView : public QWebEngineView {
 public:
  explicit FullScreenView(QWebEngineView *home) : home_(home) {
    setPage(home->page());
    showFullScreen();
    activateWindow();
    setFocus();
  }
  ~FullScreenView() override {
    if (home_) home_->setPage(page());
  }
  FullScreenView(const FullScreenView &) = delete;
  FullScreenView &operator=(const FullScreenView &) = delete;

 private:
  QPointer<QWebEngineView> home_;
};

class BrowserPeer : public QtControlPeer {
 public:
  BrowserPeer(ui::Browser &browser, QWidget *parent)
      : QtControlPeer(browser, new QWebEngineView(parent)), browser_(browser) {}

 protected:
  void update(ui::Aspect aspect, int index) override {
    if (aspect != ui::Aspect::Location) {
      QtControlPeer::update(aspect, index);
    } else if (!browser_.location().empty()) {
      allowVideo();
      handDownloadsUp();
      view()->load(toUrl(browser_.location()));
    }
  }

 private:
  // The settings belong to the view's page, which starts the web engine, whose helper processes hold
  // more memory than the rest of the program: the page is made when the browser first has something
  // to show, not with the view.
  void allowVideo() {
    // The watch pages start their video themselves, as the site's own player page does.
    view()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    // A watch page is a local file that frames the site's player; without this Chromium refuses the
    // frame and shows its error page instead.
    view()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    view()->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    if (fullScreenWired_) return;
    fullScreenWired_ = true;
    QObject::connect(view()->page(), &QWebEnginePage::fullScreenRequested, this,
                     [this](QWebEngineFullScreenRequest request) {
                       if (request.toggleOn() == (fullScreen_ != nullptr)) return request.reject();
                       request.accept();
                       if (request.toggleOn()) {
                         fullScreen_ = std::make_unique<FullScreenView>(view());
                       } else {
                         fullScreen_.reset();
                       }
                     });
    // The page is the view's: it must come back before the view goes.
    QObject::connect(view(), &QObject::destroyed, this, [this] { fullScreen_.reset(); });
  }

  // A download the page asks for is the program's to decide on: the engine keeps nothing of it. The
  // profile serves every browser of the program, so each takes only what its own page asks for.
  void handDownloadsUp() {
    if (downloadsWired_) return;
    downloadsWired_ = true;
    const QPointer<QWebEnginePage> page = view()->page();
    QObject::connect(page->profile(), &QWebEngineProfile::downloadRequested, this,
                     [this, page](QWebEngineDownloadRequest *request) {
                       if (!page || request->page() != page) return;
                       const std::string address = request->url().toEncoded().toStdString();
                       request->cancel();
                       runGuarded([&] { browser_.download(address); });
                     });
  }

  QWebEngineView *view() const { return static_cast<QWebEngineView *>(widget()); }
  ui::Browser &browser_;
  bool downloadsWired_ = false;
  bool fullScreenWired_ = false;
  std::unique_ptr<FullScreenView> fullScreen_;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeBrowserPeer(ui::Control &control, QWidget *parent) {
  if (control.kind() != ui::Kind::Browser) return nullptr;
  return std::make_unique<BrowserPeer>(static_cast<ui::Browser &>(control), parent);
}

}  // namespace kf::qtui
