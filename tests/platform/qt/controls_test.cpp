// Single controls on the Qt toolkit: what the program sets reaches the widget, what the user does
// reaches the control, and nothing the program sets comes back as the user's doing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/window_peer.h"
#include "support/qt_environment.h"
#include "support/temp_dir.h"

namespace kf::qtui {
namespace {

using test::qtToolkit;

class QtControlsTest : public ::testing::Test {
 protected:
  void TearDown() override { test::deleteLeftovers(); }
  ui::Window window{qtToolkit(), "frmTest", "Test", 9000, 6000, {}};
};

TEST_F(QtControlsTest, GeometryVisibilityAndToolTipFollowTheControl) {
  auto &label = window.add<ui::Label>("labSel", nullptr, {240, 180, 7815, 255}, 12);
  QWidget *widget = widgetOf(label);
  EXPECT_EQ(widget->geometry(), QRect(16, 12, 521, 17));
  label.setLeft(-150);
  label.setWidth(0);
  EXPECT_EQ(widget->geometry(), QRect(-10, 12, 0, 17));
  label.setVisible(false);
  EXPECT_TRUE(widget->isHidden());
  label.setVisible(true);
  EXPECT_FALSE(widget->isHidden());

  label.setToolTip(text::cp1252(u8"Einstellungen öffnen."));
  EXPECT_EQ(widget->toolTip(), QString::fromUtf8(u8"Einstellungen öffnen."));
  // A title from the network is shown as it is, never as markup.
  label.setToolTip("<b>Fett</b> & <img src=x>");
  QTextDocument shown;
  shown.setHtml(widget->toolTip());
  EXPECT_EQ(shown.toPlainText(), QStringLiteral("<b>Fett</b> & <img src=x>"));
}

// A caption or tooltip keeps at most 2,000 characters, a window caption 500.
TEST_F(QtControlsTest, LongTextsAreCutAtTheToolkitsEdge) {
  auto &label = window.add<ui::Label>("labSel", nullptr, {240, 180, 7815, 255}, 12);
  const QString shown = QString(1999, QLatin1Char('a')) + QChar(0xE4);
  for (const std::size_t past : {0U, 1U}) {
    const std::string text = std::string(1999, 'a') + "\xE4" + std::string(past, 'b');
    label.setCaption(text);
    label.setToolTip(text);
    EXPECT_EQ(qobject_cast<QLabel *>(widgetOf(label))->text(), shown);
    EXPECT_EQ(widgetOf(label)->toolTip(), shown);
    window.setCaption(std::string(500 + past, 'c'));
    EXPECT_EQ(widgetOf(window)->windowTitle(), QString(500, QLatin1Char('c')));
  }
}

TEST_F(QtControlsTest, LabelShowsCaptionLookAndRaisesClicks) {
  auto &label = window.add<ui::Label>("Label2", nullptr, {120, 2040, 2415, 255}, 3);
  auto *qlabel = qobject_cast<QLabel *>(widgetOf(label));
  ASSERT_NE(qlabel, nullptr);
  label.setCaption(
      "<i>M\xFC"
      "ller</i>");
  EXPECT_EQ(qlabel->text(), QString::fromUtf8(u8"<i>Müller</i>"));
  EXPECT_EQ(qlabel->textFormat(), Qt::PlainText);

  label.setLook(ui::Align::Center, {"MS Sans Serif", 12, true}, ui::rgb(0, 0, 192));
  EXPECT_TRUE(qlabel->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(qlabel->font().bold());
  EXPECT_DOUBLE_EQ(qlabel->font().pointSizeF(), 12.0);
  EXPECT_EQ(qlabel->palette().color(QPalette::WindowText), QColor(0, 0, 192));

  // The windows were laid out for a narrow face: the search label's caption fits on its one line.
  auto &search = window.add<ui::Label>("labSearch", nullptr, {120, 360, 1395, 240}, 1);
  search.setLook(ui::Align::Left, {"MS Sans Serif", 9.75F, true});
  EXPECT_LE(QFontMetrics(widgetOf(search)->font()).horizontalAdvance(QStringLiteral("Suchen nach:")),
            widgetOf(search)->width());

  int clicks = 0;
  label.onClick = [&] { ++clicks; };
  window.show();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(qlabel, &enter);
  EXPECT_EQ(qlabel->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(qlabel, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(qlabel, Qt::RightButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(QtControlsTest, ButtonShowsItsPictureAtItsOwnSizeAndRaisesClicks) {
  auto &button = window.add<ui::Button>("cmdSets", nullptr, {9600, 2760, 735, 735}, 16);
  button.setPicture("settings.svg");
  auto *tool = qobject_cast<QToolButton *>(widgetOf(button));
  ASSERT_NE(tool, nullptr);
  EXPECT_FALSE(tool->icon().isNull());
  EXPECT_EQ(tool->iconSize(), QSize(45, 40));
  EXPECT_EQ(tool->palette().color(QPalette::Button), QColor(Qt::white));
  EXPECT_EQ(tool->toolButtonStyle(), Qt::ToolButtonIconOnly);

  int clicks = 0;
  button.onClick = [&] { ++clicks; };
  window.show();
  QTest::mouseClick(tool, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(QtControlsTest, ImageBoxShowsPicturesAndRefusesWhatItCannotShow) {
  auto &image = window.add<ui::ImageBox>("imgPrev", nullptr, {120, 240, 1935, 1335});
  auto *qlabel = qobject_cast<QLabel *>(widgetOf(image));
  ASSERT_NE(qlabel, nullptr);

  image.setAsset("logo.svg");
  EXPECT_EQ(qlabel->pixmap().size(), QSize(125, 85));

  test::TempDir dir;
  QImage picture(200, 150, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("vorschau.png"))));
  image.loadPicture(dir.file("vorschau.png"));
  EXPECT_EQ(qlabel->pixmap().size(), QSize(200, 150)) << "at its own size, cut off by the box";

  // Starts like a JPEG, but is none: the box keeps the picture it has.
  test::writeFile(dir.file("kaputt.jpg"), std::string("\xFF\xD8\xFF\xE0") + std::string(300, 'x'));
  EXPECT_THROW(image.loadPicture(dir.file("kaputt.jpg")), Error);
  EXPECT_EQ(image.picture(), dir.file("vorschau.png"));
  EXPECT_EQ(qlabel->pixmap().size(), QSize(200, 150));

  image.clearPicture();
  EXPECT_TRUE(qlabel->pixmap().isNull());
}

TEST_F(QtControlsTest, TextBoxReportsTypingAndKeysBeforeHandlingThem) {
  auto &box = window.add<ui::TextBox>("txtSearch", nullptr, {1560, 360, 5535, 285}, 2);
  auto *edit = qobject_cast<QLineEdit *>(widgetOf(box));
  ASSERT_NE(edit, nullptr);
  std::vector<std::pair<int, int>> keys;
  std::vector<QString> textAtKey;
  box.onKeyDown = [&](int code, int shift) {
    keys.emplace_back(code, shift);
    textAtKey.push_back(edit->text());
  };
  window.show();

  QTest::keyClicks(edit, QStringLiteral("Ka"));
  QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Udiaeresis, QString::fromUtf8(u8"ü"), Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUtf8(u8"€Ω"), Qt::NoModifier);
  EXPECT_EQ(box.text(), "Ka\xFC\x80?");
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClick(edit, Qt::Key_F5);
  QKeyEvent wordLeft(QEvent::KeyPress, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
  QCoreApplication::sendEvent(edit, &wordLeft);

  const std::vector<std::pair<int, int>> expected = {{'K', 0}, {'A', 0}, {186, 0}, {13, 0}, {46, 0}, {116, 0}, {37, 3}};
  EXPECT_EQ(keys, expected);
  ASSERT_GE(textAtKey.size(), 2U);
  EXPECT_EQ(textAtKey[0], QString()) << "the key is reported before the box takes it";
  EXPECT_EQ(textAtKey[1], QStringLiteral("K"));

  // The program's own text reaches the box; the same text again leaves the caret where it is.
  box.setText(
      "Gr\xFC\xDF"
      "e");
  EXPECT_EQ(edit->text(), QString::fromUtf8(u8"Grüße"));
  edit->setCursorPosition(1);
  box.setText(box.text());
  EXPECT_EQ(edit->cursorPosition(), 1);
}

TEST_F(QtControlsTest, CheckOptionAndComboFollowTheUserAndTheProgram) {
  auto &check = window.add<ui::CheckBox>("chkPrev", nullptr, {2040, 1800, 2055, 255}, 9);
  auto &yes = window.add<ui::OptionButton>("optYes", nullptr, {2040, 1200, 855, 255}, 6);
  auto &no = window.add<ui::OptionButton>("optNo", nullptr, {2040, 1440, 855, 255}, 7);
  yes.setCaption("Ja");
  no.setCaption("Nein");
  auto &combo = window.add<ui::ComboBox>("cboMax", nullptr, {2040, 820, 615, 315}, 1);
  yes.setGroup({&yes, &no});
  no.setGroup({&yes, &no});
  check.setCaption(text::cp1252(u8"Ja (längere Ladezeiten)"));
  for (int number = 1; number <= 20; ++number) combo.addItem(std::to_string(number));
  window.show();

  auto *checkBox = qobject_cast<QCheckBox *>(widgetOf(check));
  EXPECT_EQ(checkBox->text(), QString::fromUtf8(u8"Ja (längere Ladezeiten)"));
  check.setValue(ui::CheckBox::Grayed);
  EXPECT_EQ(checkBox->checkState(), Qt::PartiallyChecked);
  check.setValue(ui::CheckBox::Checked);
  EXPECT_EQ(checkBox->checkState(), Qt::Checked);
  QTest::mouseClick(checkBox, Qt::LeftButton);
  EXPECT_EQ(check.value(), ui::CheckBox::Unchecked);

  auto *yesRadio = qobject_cast<QRadioButton *>(widgetOf(yes));
  auto *noRadio = qobject_cast<QRadioButton *>(widgetOf(no));
  yes.setValue(true);
  EXPECT_TRUE(yesRadio->isChecked());
  // On the round mark: only the mark and the caption take clicks.
  const QPoint mark(6, noRadio->height() / 2);
  QTest::mouseClick(noRadio, Qt::LeftButton, {}, mark);
  EXPECT_TRUE(no.value());
  EXPECT_FALSE(yes.value());
  EXPECT_FALSE(yesRadio->isChecked());
  QTest::mouseClick(noRadio, Qt::LeftButton, {}, mark);
  EXPECT_TRUE(no.value()) << "clicking the chosen option keeps it chosen";
  EXPECT_TRUE(noRadio->isChecked());

  auto *comboBox = qobject_cast<QComboBox *>(widgetOf(combo));
  EXPECT_EQ(comboBox->count(), 20);
  EXPECT_FALSE(comboBox->isEditable());
  combo.setText("3");
  EXPECT_EQ(comboBox->currentIndex(), 2);
  comboBox->setFocus();
  QTest::keyClick(comboBox, Qt::Key_Down);
  EXPECT_EQ(combo.text(), "4");
}

TEST_F(QtControlsTest, ProgressBarFollowsMaximumAndValue) {
  auto &bar = window.add<ui::ProgressBar>("prgDL", nullptr, {120, 6480, 10215, 255}, 6);
  bar.setMax(4);
  bar.setValue(3);
  auto *progress = qobject_cast<QProgressBar *>(widgetOf(bar));
  EXPECT_EQ(std::make_pair(progress->maximum(), progress->value()), std::make_pair(4, 3));
}

}  // namespace
}  // namespace kf::qtui
