#include "support/player_report.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace kf::test {
namespace {

QWebEngineScript script(const QString &name, QWebEngineScript::InjectionPoint when, bool frames,
                        const QString &source) {
  QWebEngineScript made;
  made.setName(name);
  made.setInjectionPoint(when);
  made.setWorldId(QWebEngineScript::MainWorld);
  made.setRunsOnSubFrames(frames);
  made.setSourceCode(source);
  return made;
}

// The next title that starts with `prefix`, its rest read as JSON.
QJsonValue awaitTitle(QWebEngineView &view, const QString &prefix, int limitMs) {
  QEventLoop loop;
  QJsonValue value;
  QObject::connect(&view, &QWebEngineView::titleChanged, &loop, [&](const QString &title) {
    if (!title.startsWith(prefix)) return;
    const QString json = title.mid(title.indexOf(':', prefix.size()) + 1);
    value = QJsonDocument::fromJson(("[" + json + "]").toUtf8()).array().at(0);
    loop.quit();
  });
  QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
  loop.exec();
  return value;
}

}  // namespace

void watchPlayers() {
  auto *scripts = QWebEngineProfile::defaultProfile()->scripts();
  if (!scripts->find(QStringLiteral("kf-page")).isEmpty()) return;
  // A counter in the title, so that the same message twice is a change all the same.
  scripts->insert(script(QStringLiteral("kf-page"), QWebEngineScript::DocumentCreation, false,
                         QStringLiteral("var kfMessages = 0;"
                                        "window.addEventListener('message', function (e) {"
                                        "  if (e.data && e.data.kfTitle) document.title = e.data.kfTitle + ++kfMessages"
                                        "    + ':' + JSON.stringify(e.data.value);"
                                        "});")));
  scripts->insert(script(
      QStringLiteral("kf-player"), QWebEngineScript::DocumentReady, true,
      QStringLiteral(
          "if (window.top !== window) {"
          "  var tell = function (title, value) { window.top.postMessage({kfTitle: title, value: value}, '*'); };"
          "  var watch = setInterval(function () {"
          "    var v = document.querySelector('video'), note = document.getElementById('cannotPlay');"
          "    var failed = !v || (note && !note.hidden);"
          "    if (!failed && !(v.currentTime > 0)) return;"
          "    clearInterval(watch);"
          "    tell('video', {ok: !failed, src: v ? v.currentSrc : '', frame: location.href,"
          "      duration: v ? v.duration : 0, width: v ? v.videoWidth : 0, muted: v ? v.muted : true,"
          "      volume: v ? v.volume : 0, focused: document.activeElement === v});"
          "  }, 20);"
          "  window.addEventListener('message', function (e) {"
          "    if (!e.data || !e.data.kfDo) return;"
          "    new Function('v', 'done', e.data.kfDo)(document.querySelector('video'),"
          "      function (result) { tell('done', result); });"
          "  });"
          "}")));
}

QJsonObject awaitPlayer(QWebEngineView &view, int limitMs) {
  return awaitTitle(view, QStringLiteral("video"), limitMs).toObject();
}

QJsonValue askPlayer(QWebEngineView &view, const QString &body, int limitMs) {
  const QString command = QString::fromUtf8(QJsonDocument(QJsonArray{body}).toJson(QJsonDocument::Compact));
  view.page()->runJavaScript(
      QStringLiteral("document.querySelector('iframe').contentWindow.postMessage({kfDo: %1[0]}, '*');").arg(command));
  return awaitTitle(view, QStringLiteral("done"), limitMs);
}

}  // namespace kf::test
