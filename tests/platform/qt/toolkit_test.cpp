// The Qt toolkit's services: message boxes and their test seam, the guard against failures no handler
// caught, the clipboard, posted tasks and waiting, the busy pointer and the end of the process.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/qt/control_peer.h"
#include "support/qt_environment.h"

namespace kf::qtui {
namespace {

using test::qtToolkit;

TEST(QtToolkitTest, MessageBoxIsModalWithItsIconTextAndOnlyOk) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text, title;
  int buttons = 0;
  bool modal = false;
  // Answers the box as soon as it is up, from inside its own event loop.
  QTimer answer;
  answer.setInterval(10);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box) return;
    answer.stop();
    icon = box->icon();
    text = box->text();
    title = box->windowTitle();
    buttons = static_cast<int>(box->buttons().size());
    modal = box->isModal();
    box->button(QMessageBox::Ok)->click();
  });
  answer.start();
  qtToolkit().answering = false;
  qtToolkit().messageBox(text::cp1252(u8"Klipfang Einstellungen konnten nicht geladen werden. <b>Äpfel</b>"),
                         "Fehler ist aufgetreten!", ui::MessageIcon::Critical);
  qtToolkit().answering = true;
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(text, QString::fromUtf8(u8"Klipfang Einstellungen konnten nicht geladen werden. <b>Äpfel</b>"));
  EXPECT_EQ(title, QStringLiteral("Fehler ist aufgetreten!"));
  EXPECT_EQ(buttons, 1);
  EXPECT_TRUE(modal);
}

TEST(QtToolkitTest, AQuestionOffersJaAndNeinAndIsAnsweredFromTheQueue) {
  auto &tk = qtToolkit();
  QStringList captions;
  QString defaultCaption;
  // On the screen: the first box is answered with "Ja", the second closed with Esc.
  QTimer answer;
  answer.setInterval(10);
  int asked = 0;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box) return;
    if (++asked == 2) return QTest::keyClick(box, Qt::Key_Escape);
    captions.clear();
    for (QAbstractButton *button : box->buttons()) captions << button->text();
    defaultCaption = box->defaultButton()->text();
    for (QAbstractButton *button : box->buttons()) {
      if (button->text() == QStringLiteral("Ja")) button->click();
    }
  });
  answer.start();
  tk.answering = false;
  EXPECT_TRUE(tk.askYesNo("Abbrechen?", "Klipfang"));
  EXPECT_FALSE(tk.askYesNo("Abbrechen?", "Klipfang"));
  answer.stop();
  // A question the program changes while it is open shows its new words; withdrawn, it closes.
  ui::OpenQuestion open("Zwei laufen noch.");
  QString changed;
  QTimer::singleShot(10, [&] {
    open.setText("Nur einer noch.");
    changed = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())->text();
    open.withdraw();
  });
  EXPECT_FALSE(tk.askYesNo(open, "Klipfang"));
  EXPECT_EQ(changed, QStringLiteral("Nur einer noch."));
  tk.answering = true;
  captions.sort();
  EXPECT_EQ(captions, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));
  EXPECT_EQ(defaultCaption, QStringLiteral("Nein"));

  // Answered from the queue, "Nein" when it is empty; a message box in between takes no answer.
  tk.boxes.take();
  tk.boxes.answerNext(true);
  tk.boxes.answerNext(false);
  tk.messageBox("Hinweis", "Klipfang", ui::MessageIcon::Information);
  EXPECT_TRUE(tk.askYesNo("Erste Frage?", "Klipfang"));
  EXPECT_FALSE(tk.askYesNo("Zweite Frage?", "Klipfang"));
  tk.boxes.answerNext(true);
  EXPECT_TRUE(tk.askYesNo("Dritte Frage?", "Klipfang"));
  EXPECT_FALSE(tk.askYesNo("Vierte Frage?", "Klipfang"));
  const auto asked2 = tk.boxes.take();
  ASSERT_EQ(asked2.size(), 5U);
  EXPECT_FALSE(asked2[0].question);
  EXPECT_EQ(asked2[2].text, "Zweite Frage?");
  EXPECT_EQ(asked2[2].icon, ui::MessageIcon::Question);
  EXPECT_TRUE(asked2[2].question);
}

TEST(QtToolkitTest, AFailureNoHandlerCaughtIsToldAndTheProgramGoesOn) {
  auto &tk = qtToolkit();
  tk.boxes.take();
  ui::Window window(tk, "frmTest", "Test", 3000, 2000, {});
  auto &button = window.add<ui::Button>("cmdGo", nullptr, {0, 0, 735, 735}, 0);
  window.show();
  // A click on a widget, and a posted task: the two ways events enter the program.
  button.onClick = [] { throw Error(errors::kDiskFull, text::cp1252(u8"Datenträger voll: /x/ä")); };
  QTest::mouseClick(widgetOf(button), Qt::LeftButton);
  tk.post([] { throw 42; });
  tk.doEvents();

  const auto told = tk.boxes.take();
  ASSERT_EQ(told.size(), 2U);
  const std::string said = text::cp1252(u8"Ein unerwarteter Fehler ist aufgetreten:\n\n");
  const std::string goesOn = text::cp1252(u8"\n\nKlipfang arbeitet weiter; die angefangene Aktion wurde abgebrochen.");
  EXPECT_EQ(told[0].text, said + text::cp1252(u8"Datenträger voll: /x/ä") + goesOn);
  EXPECT_EQ(told[1].text, said + "Unbekannter Fehler." + goesOn);
  EXPECT_EQ(told[1].icon, ui::MessageIcon::Critical);

  int clicks = 0;
  button.onClick = [&] { ++clicks; };
  QTest::mouseClick(widgetOf(button), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST(QtToolkitTest, ClipboardCarriesWindows1252TextAsUnicode) {
  auto &tk = qtToolkit();
  tk.setClipboardText(text::cp1252(u8"Grüße für 5 €"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(u8"Grüße für 5 €"));
  tk.clearClipboard();
  EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST(QtToolkitTest, PostedTasksRunOnTheUserInterfaceThread) {
  auto &tk = qtToolkit();
  const auto uiThread = std::this_thread::get_id();
  bool ran = false;
  std::thread::id ranOn;
  std::thread worker([&] {
    tk.post([&] {
      ranOn = std::this_thread::get_id();
      ran = true;
    });
  });
  // Returns only once something happened; the posted task is what happens.
  while (!ran) tk.waitForEvent();
  worker.join();
  EXPECT_EQ(ranOn, uiThread);

  int runs = 0;
  tk.post([&] { ++runs; });
  EXPECT_EQ(runs, 0) << "a task waits for the event loop";
  tk.doEvents();
  EXPECT_EQ(runs, 1);
}

TEST(QtToolkitTest, BusyPointerIsOneOverrideWhateverTheCallsAre) {
  auto &tk = qtToolkit();
  tk.setMousePointer(ui::MousePointer::Hourglass);
  tk.setMousePointer(ui::MousePointer::Hourglass);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  tk.setMousePointer(ui::MousePointer::Default);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  tk.setMousePointer(ui::MousePointer::Default);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The desktop finds the menu entry, and with it the icon, for a window of either program by the
// entry's name (Wayland) or by the window's class, which is the application's name (X11).
TEST(QtToolkitTest, TheApplicationNamesTheDesktopEntryThatMatchesItsWindows) {
  const std::string id = QGuiApplication::desktopFileName().toStdString();
  std::ifstream file(KF_ASSETS_DIR "/" + id + ".desktop");
  ASSERT_TRUE(file) << "no desktop entry " << id << ".desktop";
  std::stringstream entry;
  entry << file.rdbuf();
  EXPECT_NE(entry.str().find("\nIcon=" + id + "\n"), std::string::npos) << entry.str();
  EXPECT_NE(entry.str().find("\nStartupWMClass=" + QApplication::applicationName().toStdString() + "\n"),
            std::string::npos)
      << entry.str();
}

TEST(QtToolkitDeathTest, EndProcessEndsAtOnceWithWhatWasWritten) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // Fully buffered, so only a flush gets the words out before the end.
        static char buffer[256];
        std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
        std::fputs("letzte Worte", stderr);
        qtToolkit().endProcess(3);
      },
      ::testing::ExitedWithCode(3), "letzte Worte");
}

}  // namespace
}  // namespace kf::qtui
