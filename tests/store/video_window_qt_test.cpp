// The video window on the real toolkit, against the bundled site: a watch must end with the site's
// video playing in the window, not only with a page on disk, and a close must end it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <filesystem>
#include <string>

#include "net/site_address.h"
#include "platform/base/cp1252.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/qt/window_peer.h"
#include "qt/qt_environment.h"
#include "site/http/server.h"
#include "store/build_watch_page.h"
#include "support/local_site.h"
#include "support/temp_dir.h"

namespace kf::store {
namespace {

// The player sits in a frame of the site's origin, which the local page may not look into. A script
// in every frame lets the player's frame tell the page what its video loaded, and the page shows it
// in its title, which the test can wait for.
void reportVideoMetadataInTitle() {
  QWebEngineScript listener;
  listener.setName(QStringLiteral("kf-listener"));
  listener.setInjectionPoint(QWebEngineScript::DocumentCreation);
  listener.setWorldId(QWebEngineScript::MainWorld);
  listener.setRunsOnSubFrames(false);
  listener.setSourceCode(
      QStringLiteral("window.addEventListener('message', function (e) {"
                     "  if (e.data && e.data.kfVideo) document.title = 'video:' + JSON.stringify(e.data.kfVideo);"
                     "});"));
  QWebEngineScript reporter;
  reporter.setName(QStringLiteral("kf-reporter"));
  reporter.setInjectionPoint(QWebEngineScript::DocumentReady);
  reporter.setWorldId(QWebEngineScript::MainWorld);
  reporter.setRunsOnSubFrames(true);
  reporter.setSourceCode(QStringLiteral(
      "if (window.top !== window) {"
      "  var v = document.querySelector('video');"
      "  var report = function (ok) { window.top.postMessage({kfVideo: {ok: ok, src: v ? v.currentSrc : '',"
      "    frame: location.href, duration: v ? v.duration : 0, width: v ? v.videoWidth : 0}}, '*'); };"
      "  if (!v) report(false);"
      "  else if (v.readyState >= 1) report(true);"
      "  else { v.addEventListener('loadedmetadata', function () { report(true); });"
      "         v.addEventListener('error', function () { report(false); }); }"
      "}"));
  QWebEngineProfile::defaultProfile()->scripts()->insert(listener);
  QWebEngineProfile::defaultProfile()->scripts()->insert(reporter);
}

// Waits for the player's report. Chromium starts its helper processes first; the limit is for a stuck
// load, not a measure.
QJsonObject awaitReport(QWebEngineView &view) {
  QEventLoop loop;
  QJsonObject report;
  QObject::connect(&view, &QWebEngineView::titleChanged, &loop, [&](const QString &title) {
    if (!title.startsWith(QStringLiteral("video:"))) return;
    report = QJsonDocument::fromJson(title.mid(6).toUtf8()).object();
    loop.quit();
  });
  QTimer::singleShot(120000, &loop, &QEventLoop::quit);
  loop.exec();
  return report;
}

void expectThePlayerOf(QWebEngineView &view, const net::SiteAddress &site, const std::string &id) {
  const QJsonObject report = awaitReport(view);
  ASSERT_FALSE(report.isEmpty()) << "the player never reported";
  EXPECT_TRUE(report.value("ok").toBool());
  EXPECT_EQ(report.value("frame").toString().toStdString(), site.root + "/embed/" + id);
  EXPECT_EQ(report.value("src").toString().toStdString().rfind(site.root + "/get_video.php?video_id=" + id, 0), 0U);
  EXPECT_GT(report.value("duration").toDouble(), 0.0);
  EXPECT_GT(report.value("width").toInt(), 0);
}

TEST(VideoWindowOnScreen, AWatchPlaysTheSitesVideoInTheWindowAndTheCloseEndsIt) {
  qtui::QtToolkit &toolkit = test::qtToolkit();
  reportVideoMetadataInTitle();

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

}  // namespace
}  // namespace kf::store
