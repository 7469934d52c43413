// The video window on the real toolkit, against the bundled site: a watch must end with the site's
// video playing in the window, not only with a page on disk, and a close must end it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QWebEngineView>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "net/site_address.h"
#include "platform/base/cp1252.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/qt/window_peer.h"
#include "site/http/server.h"
#include "site/library/library.h"
#include "support/local_site.h"
#include "support/player_report.h"
#include "support/qt_environment.h"
#include "support/temp_dir.h"
#include "windows/build_watch_page.h"

namespace kf::store {
namespace {

using windows::BuildWatchPage;
using windows::FrmVid;

// Chromium starts its helper processes first; the limit is for a stuck load, not a measure.
constexpr int kLimit = 120000;

// The video plays by itself, with its sound on and the keyboard on it, from `source`; the player's
// keys work on it.
void expectThePlayerOf(QWebEngineView &view, const std::string &root, const std::string &id,
                       const std::string &source) {
  const QJsonObject report = test::awaitPlayer(view, kLimit);
  ASSERT_FALSE(report.isEmpty()) << "the player never reported";
  EXPECT_TRUE(report.value("ok").toBool());
  EXPECT_EQ(report.value("frame").toString().toStdString(), root + "/embed/" + id);
  EXPECT_EQ(report.value("src").toString().toStdString().rfind(source, 0), 0U)
      << report.value("src").toString().toStdString();
  EXPECT_GT(report.value("duration").toDouble(), 0.0);
  EXPECT_GT(report.value("width").toInt(), 0);
  EXPECT_FALSE(report.value("muted").toBool());
  EXPECT_EQ(report.value("volume").toDouble(), 1.0);
  EXPECT_TRUE(report.value("focused").toBool());

  // Down lowers the volume a step, M mutes, Left goes back 5 s (to the start here), Space pauses.
  const QJsonArray keys =
      test::askPlayer(view,
                      QStringLiteral("var seen = [];"
                                     "['ArrowDown', 'm', 'ArrowLeft', ' '].forEach(function (key) {"
                                     "  v.dispatchEvent(new KeyboardEvent('keydown', {key: key, bubbles: true}));"
                                     "  seen.push([v.volume, v.muted, v.currentTime, v.paused]);"
                                     "});"
                                     "done(seen);"),
                      kLimit)
          .toArray();
  ASSERT_EQ(keys.size(), 4);
  EXPECT_NEAR(keys[0].toArray()[0].toDouble(), 0.9, 1e-9);
  EXPECT_TRUE(keys[1].toArray()[1].toBool());
  EXPECT_EQ(keys[2].toArray()[2].toDouble(), 0.0);
  EXPECT_FALSE(keys[2].toArray()[3].toBool());
  EXPECT_TRUE(keys[3].toArray()[3].toBool());
}

// The view that shows a page in full screen, while one does.
QWebEngineView *fullScreenView() {
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    auto *view = qobject_cast<QWebEngineView *>(widget);
    if (view && view->isVisible() && view->isFullScreen()) return view;
  }
  return nullptr;
}

void expectThePlayerOf(QWebEngineView &view, const net::SiteAddress &site, const std::string &id) {
  expectThePlayerOf(view, site.root, id, site.root + "/get_video.php?video_id=" + id);
}

TEST(VideoWindowOnScreen, AWatchPlaysTheSitesVideoInTheWindowAndTheCloseEndsIt) {
  qtui::QtToolkit &toolkit = test::qtToolkit();
  test::watchPlayers();

  site::Server server;
  const net::SiteAddress site = test::localSiteAddress(server.start());
  test::TempDir dir;
  std::filesystem::create_directory(dir.file("dat"));
  // The template as delivered: the program points it at this test's site.
  test::writeFile(dir.file("vid.kf"), test::readFile(KF_DELIVERED_VID_KF));
  const std::string id = server.site().catalogue().videos().at(3).id;

  {
    Settings settings;
    BuildWatchPage buildWatchPage(toolkit, dir.path(), site, settings);
    buildWatchPage(id, "Film im Fenster");
    ASSERT_NE(buildWatchPage.frmVid(), nullptr);
    const FrmVid &frm = *buildWatchPage.frmVid();
    auto *view = qobject_cast<QWebEngineView *>(qtui::widgetOf(frm.brw));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->width(), view->parentWidget()->width());
    EXPECT_EQ(view->height(), view->parentWidget()->height());

    expectThePlayerOf(*view, site, id);
    bool served = false;
    for (const auto &request : server.requests()) {
      served = served || request.target.rfind("/get_video.php?video_id=" + id, 0) == 0;
    }
    EXPECT_TRUE(served);

    // The close box: the page goes with the window, so nothing of it plays on unseen.
    qtui::widgetOf(frm.window)->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->url() == QUrl(QStringLiteral("about:blank")); }, 120000));

    // The next watch shows its own page in a new window.
    const std::string next = server.site().catalogue().videos().at(4).id;
    buildWatchPage(next, "Noch ein Film");
    auto *nextView = qobject_cast<QWebEngineView *>(qtui::widgetOf(buildWatchPage.frmVid()->brw));
    ASSERT_NE(nextView, nullptr);
    expectThePlayerOf(*nextView, site, next);
  }
  // The window's widgets go at the next round of deferred deletes, which must come before the
  // browser's profile goes with the application.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  server.stop();
}

// A phone's clip (H.265) is converted by the site as it is watched, and plays through the player
// library in the engine's media source, with its sound.
TEST(VideoWindowOnScreen, AClipTheEngineCannotPlayPlaysConvertedWithItsSound) {
  qtui::QtToolkit &toolkit = test::qtToolkit();
  test::watchPlayers();
  test::TempDir dir;
  std::filesystem::create_directories(dir.file("lib"));
  std::filesystem::create_directory(dir.file("dat"));
  const std::string clip =
      "ffmpeg -nostdin -loglevel error -f lavfi -i testsrc=size=160x120:rate=10 -f lavfi -i sine=sample_rate=48000 "
      "-t 2 -c:v libx265 -preset ultrafast -x265-params log-level=error -c:a aac '" +
      dir.file("lib/Handyfilm.mp4") + "'";
  ASSERT_EQ(std::system(clip.c_str()), 0);
  test::writeFile(dir.file("vid.kf"), test::readFile(KF_DELIVERED_VID_KF));

  site::library::LibraryOptions options;
  options.folder = dir.file("lib");
  options.database = dir.file("cache/lib.sqlite");
  options.workerProgram = KF_SITE_PROGRAM;
  options.streamPlayer = site::defaultDataDir() / site::library::kStreamPlayer;
  auto library = std::make_shared<site::library::Library>(options);
  library->waitForFirstScan();
  site::Server server(library);
  const net::SiteAddress site = test::localSiteAddress(server.start(), library->accessKey());
  const std::string id = library->search({"handyfilm"}, 0, 1).videos.at(0).id;
  {
    Settings settings;
    BuildWatchPage buildWatchPage(toolkit, dir.path(), site, settings);
    buildWatchPage(id, "Handyfilm");
    auto *view = qobject_cast<QWebEngineView *>(qtui::widgetOf(buildWatchPage.frmVid()->brw));
    ASSERT_NE(view, nullptr);
    expectThePlayerOf(*view, site.root, id, "blob:");
    bool converted = false;
    for (const auto &request : server.requests())
      converted = converted || request.target == "/" + library->accessKey() + "/stream/" + id + "/0.ts";
    EXPECT_TRUE(converted);

    // F in the player fills the screen, with the page in a view of its own; Esc brings it back.
    QWidget *surface = view->focusProxy();
    QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
    QTest::keyClick(surface, Qt::Key_F);
    ASSERT_TRUE(QTest::qWaitFor([] { return fullScreenView() != nullptr; }, kLimit));
    const QString page = QString::fromStdString("/dat/" + id + ".html");
    EXPECT_TRUE(fullScreenView()->url().path().endsWith(page)) << fullScreenView()->url().toString().toStdString();
    QWidget *full = fullScreenView()->focusProxy();
    QTest::mouseClick(full, Qt::LeftButton, {}, full->rect().center());
    QTest::keyClick(full, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([] { return fullScreenView() == nullptr; }, 10000));
    EXPECT_TRUE(view->url().path().endsWith(page)) << "the page is back in the window";
    qtui::widgetOf(buildWatchPage.frmVid()->window)->close();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  server.stop();
}

}  // namespace
}  // namespace kf::store
