#include "platform/qt/convert.h"

#include <QFile>
#include <QKeyEvent>
#include <QTextDocument>
#include <cmath>

#include "platform/base/cp1252.h"

namespace kf::qtui {

int pixels(float twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

float twips(int pixels) {
  return static_cast<float>(pixels) * kTwipsPerPixel;
}

QString toQString(std::string_view cp1252) {
  QString result;
  result.reserve(static_cast<qsizetype>(cp1252.size()));
  // Every Windows-1252 character lies in the basic plane: one QChar each.
  for (const char byte : cp1252)
    result.append(QChar(static_cast<char16_t>(text::toUnicode(static_cast<unsigned char>(byte)))));
  return result;
}

std::string fromQString(const QString &text) {
  std::string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t codePoint : text.toUcs4()) result.push_back(static_cast<char>(text::fromUnicode(codePoint)));
  return result;
}

QString shownText(std::string_view cp1252, std::size_t longest) {
  return toQString(cp1252.substr(0, longest));
}

QString plainToolTip(std::string_view cp1252) {
  const QString tip = shownText(cp1252);
  return Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal) : tip;
}

QFont toQFont(const ui::Font &font) {
  QFont result;
  result.setFamilies({toQString(font.name), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans Condensed")});
  result.setPointSizeF(font.points);
  result.setBold(font.bold);
  return result;
}

QColor toQColor(std::uint32_t bbggrr) {
  return {static_cast<int>(bbggrr & 0xFFU), static_cast<int>((bbggrr >> 8) & 0xFFU),
          static_cast<int>((bbggrr >> 16) & 0xFFU)};
}

namespace {

struct KeyPair {
  int qtKey;
  int code;
};

// Keys whose code is not their upper-case character; the punctuation codes are those of a German
// keyboard, the program's users' layout.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Udiaeresis, 186},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_NumberSign, 191},
    {Qt::Key_Odiaeresis, 192},
    {Qt::Key_ssharp, 219},
    {Qt::Key_AsciiCircum, 220},
    {Qt::Key_acute, 221},
    {Qt::Key_Adiaeresis, 222},
    {Qt::Key_Less, 226},
    // Shifted, Qt names the character; the code stays that of the key.
    {Qt::Key_Exclam, '1'},
    {Qt::Key_QuoteDbl, '2'},
    {Qt::Key_section, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_Ampersand, '6'},
    {Qt::Key_Slash, '7'},
    {Qt::Key_ParenLeft, '8'},
    {Qt::Key_ParenRight, '9'},
    {Qt::Key_Equal, '0'},
    {Qt::Key_Question, 219},
    {Qt::Key_QuoteLeft, 221},
    {Qt::Key_Asterisk, 187},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Colon, 190},
    {Qt::Key_Semicolon, 188},
    {Qt::Key_Apostrophe, 191},
    {Qt::Key_Greater, 226},
    {Qt::Key_degree, 220},
};

// The number block has codes of its own.
constexpr KeyPair kKeypad[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

}  // namespace

int keyCode(const QKeyEvent &event) {
  const int key = event.key();
  if (event.modifiers() & Qt::KeypadModifier) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
    for (const auto &pair : kKeypad) {
      if (pair.qtKey == key) return pair.code;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  for (const auto &pair : kKeys) {
    if (pair.qtKey == key) return pair.code;
  }
  return 0;
}

int shiftState(Qt::KeyboardModifiers modifiers) {
  return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
         ((modifiers & Qt::AltModifier) ? 4 : 0);
}

QString localPath(const std::string &path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QUrl toUrl(const std::string &address) {
  constexpr std::string_view kFileScheme = "file://";
  if (address.compare(0, kFileScheme.size(), kFileScheme) == 0) {
    return QUrl::fromLocalFile(localPath(address.substr(kFileScheme.size())));
  }
  return {toQString(address), QUrl::TolerantMode};
}

}  // namespace kf::qtui
