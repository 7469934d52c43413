#pragma once
// The site's player sits in a frame of the site's origin, which the local watch page may not look
// into. Scripts in every page of the web engine let the player's frame tell its page how the video
// plays, and the page show it in its title, where a test or a bench waits for it; the page hands the
// frame commands the same way.
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class QWebEngineView;

namespace kf::test {

// Puts the scripts into every page the default profile shows from now on.
void watchPlayers();

// Once the picture moves, or the player gave up: ok, src, frame, duration, width, muted, volume and
// focused (whether the video has the page's keyboard). Empty when nothing came within `limitMs`.
QJsonObject awaitPlayer(QWebEngineView &view, int limitMs);

// Runs `body` in the player's frame as a function of `v`, the video, and `done`, which it calls with
// a result, and answers that result; null when none came within `limitMs`.
QJsonValue askPlayer(QWebEngineView &view, const QString &body, int limitMs);

}  // namespace kf::test
