#pragma once
// The conversions at the edge between the program and Qt: twips and pixels, Windows-1252 and
// Unicode, the program's colours, key codes and shift states, file paths and addresses.
#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/controls.h"

class QKeyEvent;

namespace kf::qtui {

// 15 twips are one pixel at 96 dpi; Qt scales logical pixels for other resolutions.
constexpr float kTwipsPerPixel = 15.0F;
int pixels(float twips);
float twips(int pixels);

QString toQString(std::string_view cp1252);
// A character without a Windows-1252 form becomes '?'.
std::string fromQString(const QString &text);

// Captions, tooltips and list cells can carry text from the network. The logic bounds what it takes
// in; this is the last guard, so that no text makes the window system refuse a request or a repaint
// take seconds.
constexpr std::size_t kLongestShownText = 2000;
constexpr std::size_t kLongestWindowCaption = 500;
// The text as shown, cut to at most `longest` characters.
QString shownText(std::string_view cp1252, std::size_t longest = kLongestShownText);
// Remote text must never be read as markup, so texts that look like it are turned into markup that
// shows them verbatim (for tooltips, which Qt would otherwise render as rich text). Cut as above.
QString plainToolTip(std::string_view cp1252);

// The windows were laid out for a narrow sans serif; where the named face is missing, faces of the
// same width come first, so captions still fit their controls.
QFont toQFont(const ui::Font &font);

// 0x00BBGGRR to a colour.
QColor toQColor(std::uint32_t bbggrr);

// The key code the program's handlers know (13 Enter, 46 Delete, 65 'A' ...), 0 for keys without one.
int keyCode(const QKeyEvent &event);
// 1 Shift, 2 Ctrl, 4 Alt, added up.
int shiftState(Qt::KeyboardModifiers modifiers);

// File names are bytes on this system; Qt wants them decoded.
QString localPath(const std::string &path);
// Addresses are Windows-1252 text; a "file://" address names a local file by its bytes.
QUrl toUrl(const std::string &address);

}  // namespace kf::qtui
