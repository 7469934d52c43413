// The main window on the real Qt toolkit, offscreen, against the bundled site: what a user sees at
// start, a search typed into the box and started with Enter, the links on the clipboard, the window
// while the program waits on a page that trickles in, the site's home page behind the site button,
// and a later start bringing the window forward.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <filesystem>
#include <future>

#include "platform/base/cp1252.h"
#include "platform/os/instance/hand_over.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/window_peer.h"
#include "site/faults/faulty_server.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/programs.h"
#include "support/qt_environment.h"
#include "support/temp_dir.h"
#include "windows/frm_main.h"
#include "windows/frm_vid.h"

namespace kf::windows {
namespace {

using qtui::widgetOf;
using namespace std::chrono_literals;

// Runs `act` every 20 ms in the event loop until it answers true; the program's own waits let it run.
class WhileWaiting {
 public:
  explicit WhileWaiting(std::function<bool()> act) {
    QObject::connect(&timer_, &QTimer::timeout, [this, act = std::move(act)] {
      if (act()) timer_.stop();
    });
    timer_.start(20);
  }

 private:
  QTimer timer_;
};

class MainWindowQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port = site.start();
    test::writeFile(dir.file("sets.cfg"), "respages:1\r\ncleartxt:1\r\npreview:0\r\ninfront:0\r\n");
    frm = std::make_unique<FrmMain>(test::qtToolkit(), Environment{dir.path(), test::localSiteAddress(port)});
    frm->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(frm->controls.window)));
  }
  void TearDown() override {
    frm.reset();
    test::deleteLeftovers();
  }

  QTreeWidget *resultList() const { return qobject_cast<QTreeWidget *>(widgetOf(frm->controls.lstResult)); }
  QAbstractItemView *offers() const {
    return qobject_cast<QLineEdit *>(widgetOf(frm->controls.txtSearch))->completer()->popup();
  }
  // Searches for `words` and waits until every row found is on the screen.
  int listed(const std::string &words) {
    frm->controls.txtSearch.setText(words);
    frm->controls.cmdSearch.click();
    const int rows = frm->controls.lstResult.count();
    EXPECT_TRUE(QTest::qWaitFor([&] { return resultList()->topLevelItemCount() == rows; }));
    return rows;
  }
  // Presses `keys` in the main window, as the desktop hands them to it (Backtab with Shift).
  void press(std::initializer_list<Qt::Key> keys, const std::string &typed = "") {
    QWindow *window = widgetOf(frm->controls.window)->windowHandle();
    for (const Qt::Key key : keys) {
      QTest::keyClick(window, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    }
    for (const char character : typed) QTest::keyClick(window, character);
  }

  site::FaultyServer site;
  int port = 0;
  test::TempDir dir;
  std::unique_ptr<FrmMain> frm;
};

TEST_F(MainWindowQtTest, OpensWithTheResultListAndTheKeyboardInTheSearchBox) {
  EXPECT_TRUE(widgetOf(frm->controls.lstResult)->isVisible());
  for (const ui::Control *hidden : std::initializer_list<const ui::Control *>{
           &frm->controls.lstFavs, &frm->controls.lstFile, &frm->controls.brw, &frm->controls.fraCMD,
           &frm->controls.cmdAbortS, &frm->controls.labWait, &frm->controls.labInfo}) {
    EXPECT_FALSE(widgetOf(*hidden)->isVisible()) << hidden->name();
  }
  EXPECT_EQ(QApplication::focusWidget(), widgetOf(frm->controls.txtSearch));
  // 15 twips to the pixel: the search box at 1560, 360, 5535 x 285 twips in its frame.
  EXPECT_EQ(widgetOf(frm->controls.txtSearch)->geometry(), QRect(104, 24, 369, 19));
  EXPECT_EQ(widgetOf(frm->controls.window)->windowTitle(),
            QString::fromStdU32String(text::toUnicode(mainWindowCaption())));
}

QAccessibleInterface *accessible(const ui::Control &control) {
  return QAccessible::queryAccessibleInterface(widgetOf(control));
}

struct Named {
  const char *control;
  QStringView name;
  QAccessible::Role role;
};

// What a screen reader is told a window is: a frame or a dialog, named by its title.
void expectWindow(const ui::Window &window, QAccessible::Role role) {
  QAccessibleInterface *whole = QAccessible::queryAccessibleInterface(widgetOf(window));
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->role(), role) << window.name();
  EXPECT_EQ(whole->text(QAccessible::Name), widgetOf(window)->windowTitle()) << window.name();
}

// What a screen reader is told of every control of `window`: its name and its role.
void expectNamesAndRoles(const ui::Window &window, std::initializer_list<Named> table) {
  EXPECT_EQ(window.controls().size(), table.size()) << window.name() << ": every control is in the table";
  for (const Named &want : table) {
    const ui::Control *control = window.find(want.control);
    ASSERT_NE(control, nullptr) << want.control;
    QAccessibleInterface *seen = accessible(*control);
    ASSERT_NE(seen, nullptr) << want.control;
    EXPECT_EQ(seen->text(QAccessible::Name), want.name) << window.name() << " " << want.control;
    EXPECT_EQ(seen->role(), want.role) << window.name() << " " << want.control;
  }
}

// The control of `window` whose widget has the keyboard.
std::string focusedControl(const ui::Window &window) {
  for (const auto &control : window.controls()) {
    if (widgetOf(*control) == QApplication::focusWidget()) return control->name();
  }
  return "(none)";
}

// The controls the Tab key visits after the one with the keyboard, until it comes back there.
std::vector<std::string> tabStops(const ui::Window &window) {
  EXPECT_TRUE(QTest::qWaitForWindowActive(widgetOf(window)));
  std::vector<std::string> stops;
  for (int i = 0; i < 30; ++i) {
    QTest::keyClick(widgetOf(window)->windowHandle(), Qt::Key_Tab);
    const std::string name = focusedControl(window);
    if (std::find(stops.begin(), stops.end(), name) != stops.end()) break;
    stops.push_back(name);
  }
  return stops;
}

TEST_F(MainWindowQtTest, EveryControlHasANameARoleAndATabStopInTheEyesOrder) {
  using Role = QAccessible::Role;
  QAccessible::setActive(true);
  expectWindow(frm->controls.window, Role::Window);
  expectNamesAndRoles(frm->controls.window,
                      {{"fraPreview", u"Vorschau", Role::Grouping},
                       {"labInfo", u"0", Role::StaticText},
                       {"labWait", u"Bitte Warten", Role::StaticText},
                       {"imgPrev", u"Vorschaubild", Role::StaticText},
                       {"fraInfo", u"Info", Role::Grouping},
                       {"labSel", u"Info", Role::StaticText},
                       {"fraResult", u"Ergebnisse der Suche:", Role::Grouping},
                       {"cmdFavs", u"Favoriten anzeigen", Role::PushButton},
                       {"lstFavs", u"Favoriten", Role::Tree},
                       {"fraCMD", u"Befehle zum ausgewählten Video", Role::Grouping},
                       {"cmdDelFav", u"Als Favoriten entfernen", Role::PushButton},
                       {"cmdMark", u"Diesen Link als Favorit markieren", Role::PushButton},
                       {"cmdDll", u"Tatsächlichen Videolink in die Zwischenablage", Role::PushButton},
                       {"cmdLink", u"Videolink in die Zwischenablage kopieren", Role::PushButton},
                       {"brw", u"Startseite der Videoseite", Role::Client},
                       {"cmdToFav", u"Startseite der Videoseite", Role::PushButton},
                       {"cmdInfo", u"Über Klipfang", Role::PushButton},
                       {"cmdWatch", u"Ausgewähltes Video anschauen", Role::PushButton},
                       {"cmdSets", u"Einstellungen öffnen", Role::PushButton},
                       {"cmdDL", u"Gewähltes Video herunterladen", Role::PushButton},
                       {"cmdResults", u"Ergebnisse betrachten", Role::PushButton},
                       {"lstFile", u"Zeilen der Suchdatei", Role::Tree},
                       {"cmdFile", u"HTML der Suchdatei anschauen", Role::PushButton},
                       {"prgDL", u"Fortschritt der Suche", Role::ProgressBar},
                       {"lstResult", u"Ergebnisse der Suche", Role::Tree},
                       {"fraSearch", u"Suche nach Videos", Role::Grouping},
                       {"cmdAbortS", u"Suche abbrechen", Role::PushButton},
                       {"cmdSearch", u"Suchen", Role::PushButton},
                       {"txtSearch", u"Suchen nach", Role::EditableText},
                       {"labSearch", u"Suchen nach:", Role::StaticText}});
  // The tooltip, with the command's key, is what the reader adds to the name.
  EXPECT_EQ(accessible(frm->controls.cmdWatch)->text(QAccessible::Description),
            QStringView(u"Ausgewähltes Video anschauen (Eingabe)"));
  // The id and picture address columns are hidden from the reader as from the eye.
  QAccessibleInterface *results = accessible(frm->controls.lstResult);
  const QAccessibleTableInterface *table = results->tableInterface();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->columnCount(), 4);
  QStringList headers;
  for (int column = 0; column < 4; ++column) {
    const QAccessibleInterface *header = results->child(column);
    ASSERT_NE(header, nullptr);
    headers << header->text(QAccessible::Name);
  }
  EXPECT_EQ(headers, (QStringList{"Nr.", "Film", "Title", "Dauer"}));
  // A favourite's star, which the reader cannot see, is told in words after the row's number.
  ASSERT_GT(listed("katze"), 1);
  frm->controls.lstResult.clickItem(2);
  frm->controls.cmdMark.click();
  EXPECT_EQ(table->cellAt(1, 0)->text(QAccessible::Name),
            qtui::toQString(frm->controls.lstResult.item(2).text) + QStringLiteral(", Favorit"));
  EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), qtui::toQString(frm->controls.lstResult.item(1).text));
  EXPECT_EQ(tabStops(frm->controls.window),
            (std::vector<std::string>{"cmdSearch", "lstResult", "cmdFile", "cmdResults", "cmdDL", "cmdSets", "cmdWatch",
                                      "cmdFavs", "cmdToFav", "cmdInfo", "txtSearch"}));

  frm->controls.cmdSets.click();
  const windows::FrmSettings &settings = *frm->settingsWindow().window();
  expectWindow(settings.window, Role::Dialog);
  expectNamesAndRoles(settings.window, {{"img", u"Einstellungen", Role::Graphic},
                                        {"lab(0)", u"Maximale Ergebnisse:", Role::StaticText},
                                        {"lab(1)", u"Einstellungen", Role::StaticText},
                                        {"lab(2)", u"Gel. Texte reinigen:", Role::StaticText},
                                        {"lab(3)", u"Bild-Vorschau:", Role::StaticText},
                                        {"lab(4)", u"Videos im Vordergrund:", Role::StaticText},
                                        {"cboMax", u"Maximale Ergebnisse", Role::ComboBox},
                                        {"fraClean", u"Gel. Texte reinigen", Role::Grouping},
                                        {"optYes", u"Ja", Role::RadioButton},
                                        {"optNo", u"Nein", Role::RadioButton},
                                        {"chkPrev", u"Bild-Vorschau (längere Ladezeiten)", Role::CheckBox},
                                        {"chkFront", u"Videos im Vordergrund", Role::CheckBox},
                                        {"cmdHistory", u"Suchverlauf löschen", Role::PushButton},
                                        {"cmdAbort", u"Abbrechen", Role::PushButton},
                                        {"cmdSave", u"Übernehmen", Role::PushButton}});
  // A drop-down list is called by its name like every input; the entry it shows is its value.
  EXPECT_EQ(accessible(settings.cboMax)->text(QAccessible::Value), QStringView(u"1"));
  const auto labels = accessible(settings.cboMax)->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels.front().first->text(QAccessible::Name), QStringView(u"Maximale Ergebnisse:"));
  // The option pair is one stop, in a group named by its question.
  EXPECT_EQ(accessible(settings.optNo)->parent()->text(QAccessible::Name), QStringView(u"Gel. Texte reinigen"));
  EXPECT_EQ(tabStops(settings.window),
            (std::vector<std::string>{"optYes", "chkPrev", "chkFront", "cmdHistory", "cmdSave", "cmdAbort", "cboMax"}));

  frm->controls.cmdInfo.click();
  const FrmInfo &info = *frm->infoWindow().current();
  const QString homepage = QString::fromStdString(homepageAddress(test::localSiteAddress(port)));
  expectWindow(info.window, Role::Dialog);
  expectNamesAndRoles(info.window, {{"lab", u"Klipfang 1.0", Role::StaticText},
                                    {"Label1", u"von den Klipfang-Machern", Role::StaticText},
                                    {"Label3", u"Programmiert mit Sorgfalt vom Klipfang-Team.", Role::StaticText},
                                    {"Label2", homepage, Role::Link},
                                    {"Image1", u"Logo von Klipfang", Role::Graphic},
                                    {"cmdClose", u"Schließen", Role::PushButton},
                                    {"lstKeys", u"Tasten", Role::Tree}});
  EXPECT_EQ(tabStops(info.window), (std::vector<std::string>{"Label2", "lstKeys", "cmdClose"})) << "the link too";

  windows::FrmVid video(test::qtToolkit(), false);
  video.window.show();
  expectWindow(video.window, Role::Window);
  expectNamesAndRoles(video.window, {{"brw", u"Video", Role::Client}});
}

// A user of the keyboard alone searches, marks a result, watches it, closes the video window, and
// finds the search offered in the search box again.
TEST_F(MainWindowQtTest, SearchMarkWatchAndCloseByKeysAlone) {
  test::writeFile(dir.file("vid.kf"), "<p>%</p>\r\n");
  QWindow *window = widgetOf(frm->controls.window)->windowHandle();
  for (const char typed : std::string("katze")) QTest::keyClick(window, typed);
  QTest::keyClick(window, Qt::Key_Return);
  ASSERT_GT(frm->controls.lstResult.count(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return resultList()->topLevelItemCount() == frm->controls.lstResult.count(); }));

  QTest::keyClick(window, Qt::Key_Tab);
  QTest::keyClick(window, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), resultList());
  QTest::keyClick(window, Qt::Key_Down);
  const int row = frm->controls.lstResult.selectedIndex();
  ASSERT_GT(row, 0);
  QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(frm->controls.lstFavs.count(), 1);
  EXPECT_EQ(frm->controls.lstResult.smallIcon(row), 1);

  QTest::keyClick(window, Qt::Key_Return);
  const std::string id = frm->controls.lstResult.subItemText(row, 2);
  EXPECT_EQ(test::readFile(dir.file("dat/" + id + ".html")), "<p>" + id + "</p>\r\n");
  QWidget *video = nullptr;
  for (QWidget *shown : QApplication::topLevelWidgets()) {
    if (shown->isVisible() && shown->windowTitle() == qtui::toQString(frm->controls.lstResult.subItemText(row, 1))) {
      video = shown;
    }
  }
  ASSERT_NE(video, nullptr);
  QTest::keyClick(video->windowHandle(), Qt::Key_Escape);
  EXPECT_FALSE(video->isVisible());
  // Where the desktop gives the keyboard back to the main window, the offscreen screen does not.
  widgetOf(frm->controls.window)->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(widgetOf(frm->controls.window)));

  // Back in the search box, its words selected; emptied, Down offers the earlier search, and Enter on
  // the offer searches for it again.
  QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
  auto *box = qobject_cast<QLineEdit *>(widgetOf(frm->controls.txtSearch));
  ASSERT_EQ(QApplication::focusWidget(), box);
  EXPECT_EQ(box->selectedText(), QStringLiteral("katze"));
  QTest::keyClick(window, Qt::Key_Backspace);
  QTest::keyClick(window, Qt::Key_Down);
  QAbstractItemView *offers = box->completer()->popup();
  ASSERT_TRUE(offers->isVisible());
  ASSERT_EQ(offers->model()->rowCount(), 1);
  EXPECT_EQ(offers->model()->index(0, 0).data().toString(), QStringLiteral("katze"));
  const std::size_t requests = site.requests().size();
  QTest::keyClick(offers, Qt::Key_Down);
  QTest::keyClick(offers, Qt::Key_Return);
  EXPECT_EQ(frm->controls.txtSearch.text(), "katze");
  EXPECT_GT(site.requests().size(), requests);
  EXPECT_EQ(site.requests().back().target, "/results?search_query=katze&search=Search");
  EXPECT_TRUE(test::qtToolkit().boxes.take().empty());
}

// Enter in the search box searches the words in it, also while it offers earlier searches for them;
// an offer chosen with the arrows is taken into the box and searched. While a search runs, the first
// Esc closes the offers and leaves the search running; the second stops it.
TEST_F(MainWindowQtTest, EnterSearchesTheWordsInTheBoxAndEscClosesTheOffersFirst) {
  ASSERT_GT(listed("katze"), 2);
  frm->controls.lstResult.clickItem(3);
  press({Qt::Key_F6}, "kat");
  ASSERT_TRUE(offers()->isVisible()) << "the earlier search holds the words";
  press({Qt::Key_Return});
  EXPECT_FALSE(offers()->isVisible());
  EXPECT_EQ(site.requests().back().target, "/results?search_query=kat&search=Search");
  EXPECT_EQ(frm->controls.lstResult.selectedIndex(), 0) << "nothing of the earlier search stays selected";
  // Offered newest first: "kat", then "katze".
  press({Qt::Key_F6}, "kat");
  press({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
  EXPECT_EQ(frm->controls.txtSearch.text(), "katze");
  EXPECT_EQ(site.requests().back().target, "/results?search_query=katze&search=Search");

  site.setFault({"GET", "page=2", 0}, site::Fault::Trickle);
  frm->settings.respages = 3;
  bool offered = false;
  bool closedAndStillSearching = false;
  const WhileWaiting keys([&] {
    if (site.requests().back().target.find("page=2") == std::string::npos) return false;
    press({Qt::Key_F6, Qt::Key_Down});
    offered = offers()->isVisible();
    press({Qt::Key_Escape});
    closedAndStillSearching = !offers()->isVisible() && !frm->searchAborted();
    press({Qt::Key_Escape});
    return true;
  });
  EXPECT_EQ(listed("klipfang"), 20) << "stopped on page 2";
  EXPECT_TRUE(offered);
  EXPECT_TRUE(closedAndStillSearching);
}

// A list the keyboard enters selects the row it lands on, and each key that moves the focus frame
// selects its row: the commands act on the row the user sees highlighted.
TEST_F(MainWindowQtTest, TheRowTheKeyboardIsOnIsTheSelectedOne) {
  const ui::ListView &results = frm->controls.lstResult;
  ASSERT_EQ(listed("klipfang"), 20);
  press({Qt::Key_Tab, Qt::Key_Tab});
  ASSERT_EQ(QApplication::focusWidget(), resultList());
  EXPECT_EQ(results.selectedIndex(), 1);
  press({Qt::Key_End});
  EXPECT_EQ(results.selectedIndex(), 20);
  // Unselected, the row keeps the frame; Home on it selects it again.
  press({Qt::Key_Home});
  QTest::keyClick(resultList(), Qt::Key_Space, Qt::ControlModifier);
  ASSERT_EQ(results.selectedIndex(), 0);
  press({Qt::Key_Home});
  EXPECT_EQ(results.selectedIndex(), 1);

  frm->controls.cmdMark.click();
  frm->controls.cmdFavs.click();
  press({Qt::Key_F6, Qt::Key_Tab, Qt::Key_Tab});
  ASSERT_EQ(QApplication::focusWidget(), widgetOf(frm->controls.lstFavs));
  EXPECT_EQ(frm->controls.lstFavs.selectedIndex(), 1);
}

// Opened from the keyboard, the command panel keeps it: Tab and the arrows go round its four buttons.
// Esc, or a command that closes it, gives the keyboard back to the row it was opened for.
TEST_F(MainWindowQtTest, TheCommandPanelHoldsTheKeyboardAndGivesItBackToItsRow) {
  ASSERT_GT(listed("katze"), 3);
  press({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Menu});
  ASSERT_TRUE(widgetOf(frm->controls.fraCMD)->isVisible());
  std::vector<std::string> visited{focusedControl(frm->controls.window)};
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Right, Qt::Key_Left,
                            Qt::Key_Left, Qt::Key_Backtab, Qt::Key_Up, Qt::Key_Down}) {
    press({key});
    visited.push_back(focusedControl(frm->controls.window));
  }
  EXPECT_EQ(visited, (std::vector<std::string>{"cmdLink", "cmdDll", "cmdMark", "cmdDelFav", "cmdLink", "cmdDll",
                                               "cmdLink", "cmdDelFav", "cmdMark", "cmdDll", "cmdMark"}));
  press({Qt::Key_Escape});
  EXPECT_FALSE(widgetOf(frm->controls.fraCMD)->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), resultList());
  EXPECT_EQ(frm->controls.lstResult.selectedIndex(), 3);

  QTest::keyClick(widgetOf(frm->controls.window)->windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
  press({Qt::Key_Right, Qt::Key_Right, Qt::Key_Return});
  EXPECT_EQ(frm->controls.lstResult.smallIcon(3), 1) << "marked";
  EXPECT_FALSE(widgetOf(frm->controls.fraCMD)->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), resultList());
  EXPECT_EQ(resultList()->currentItem(), resultList()->topLevelItem(2));
}

TEST_F(MainWindowQtTest, EnterInTheSearchBoxListsTheSitesResults) {
  auto *box = qobject_cast<QLineEdit *>(widgetOf(frm->controls.txtSearch));
  ASSERT_NE(box, nullptr);
  QTest::keyClicks(box, QStringLiteral("katze"));
  QTest::keyClick(box, Qt::Key_Return);

  QTreeWidget *list = resultList();
  ASSERT_GT(frm->controls.lstResult.count(), 0);
  // New rows reach the screen together, once a frame.
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == frm->controls.lstResult.count(); }));
  // The video id and the picture address are not shown, so not on the screen at all.
  ASSERT_EQ(list->columnCount(), 4);
  const QTreeWidgetItem *first = list->topLevelItem(0);
  EXPECT_EQ(first->text(0), QStringLiteral("0"));
  EXPECT_FALSE(first->text(1).isEmpty());
  EXPECT_EQ(first->text(2), QString::fromStdU32String(text::toUnicode(frm->controls.lstResult.subItemText(1, 4))));
  EXPECT_TRUE(first->text(3).contains(QLatin1Char(':'))) << "the play time";
  EXPECT_TRUE(first->font(1).bold());
  EXPECT_TRUE(first->font(3).bold());
  EXPECT_EQ(first->foreground(3).color(), QColor(0, 0, 255));
  EXPECT_TRUE(widgetOf(frm->controls.cmdSearch)->isVisible());
  EXPECT_FALSE(widgetOf(frm->controls.cmdAbortS)->isVisible());
  ASSERT_FALSE(site.requests().empty());
  EXPECT_EQ(site.requests().back().target, "/results?search_query=katze&search=Search");
}

TEST_F(MainWindowQtTest, PageLinkReachesTheDesktopClipboardAsOneLine) {
  frm->controls.txtSearch.setText("katze");
  frm->controls.cmdSearch.click();
  ASSERT_GT(frm->controls.lstResult.count(), 0);
  frm->controls.lstResult.clickItem(1);
  frm->controls.cmdLink.click();
  const std::string id = frm->controls.lstResult.subItemText(1, 2);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromStdString("http://www.localhost:" + std::to_string(port) + "/watch?v=" + id));
}

TEST_F(MainWindowQtTest, FileLinkSaysWhyWithTheSiteStoppedAndIgnoresAnEmptyList) {
  QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
  frm->controls.cmdDll.click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("vorher")) << "no result listed yet";

  frm->controls.txtSearch.setText("katze");
  frm->controls.cmdSearch.click();
  ASSERT_GT(frm->controls.lstResult.count(), 0);
  frm->controls.lstResult.clickItem(1);
  site.stop();
  test::qtToolkit().boxes.take();
  frm->controls.cmdDll.click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
  const auto told = test::qtToolkit().boxes.take();
  ASSERT_EQ(told.size(), 1U);
  EXPECT_EQ(told[0].text, "Die Adresse der Videodatei wurde nicht gefunden.\n\nDer Server ist nicht erreichbar.");
}

TEST_F(MainWindowQtTest, AbortDuringATricklingPageEndsTheSearchKeepingTheRows) {
  test::writeFile(dir.file("result2.txt"), "alt");
  site.setFault({"GET", "page=2", 0}, site::Fault::Trickle);
  frm->settings.respages = 3;
  bool clickedWhileSearching = false;
  const WhileWaiting click([&] {
    const auto requests = site.requests();
    if (requests.empty() || requests.back().target.find("page=2") == std::string::npos) return false;
    clickedWhileSearching = widgetOf(frm->controls.cmdAbortS)->isVisible();
    QTest::mouseClick(widgetOf(frm->controls.cmdAbortS), Qt::LeftButton);
    return true;
  });
  frm->controls.txtSearch.setText("klipfang");
  frm->controls.cmdSearch.click();
  EXPECT_TRUE(clickedWhileSearching);
  EXPECT_TRUE(widgetOf(frm->controls.cmdSearch)->isVisible());
  EXPECT_FALSE(widgetOf(frm->controls.cmdAbortS)->isVisible());
  EXPECT_EQ(frm->controls.lstResult.count(), 20);
  EXPECT_TRUE(QTest::qWaitFor([&] { return resultList()->topLevelItemCount() == 20; }));
  EXPECT_EQ(test::readFile(dir.file("result2.txt")), "alt");
}

TEST_F(MainWindowQtTest, SearchWordsWithAHashReachTheSiteEncodedOnEveryPage) {
  // The site has no video about C#: a stand-in answers each result page with the site's page of
  // that number for "klipfang", so that the search goes on to pages 2 and 3.
  test::HttpTestServer relay;
  relay.routes.Get("/results", [&](const httplib::Request &request, httplib::Response &response) {
    const std::string page = request.get_param_value("page");
    const std::string target = page.empty() ? "/results?search_query=klipfang&search=Search"
                                            : "/results?search_type=search_videos&search_query=klipfang"
                                              "&search_sort=&search_category=0&page=" +
                                                  page;
    response.set_content(site.site().answer({"GET", target, "www.localhost"}).body, "text/html");
  });
  // The hidden browser keeps its connection to the home page open; the stand-in must not wait for it.
  relay.routes.set_keep_alive_max_count(1);
  relay.start();
  frm.reset();
  frm = std::make_unique<FrmMain>(test::qtToolkit(), Environment{dir.path(), test::localSiteAddress(relay.port())});
  frm->start();
  frm->settings.respages = 3;
  frm->controls.txtSearch.setText("C# kurs");
  frm->controls.cmdSearch.click();

  std::vector<std::string> targets;
  for (const auto &request : relay.requests()) {
    if (request.method == "GET" && request.target.starts_with("/results")) targets.push_back(request.target);
  }
  const std::string later =
      "/results?search_type=search_videos&search_query=C%23%20kurs&search_sort=&search_category=0";
  EXPECT_EQ(targets, (std::vector<std::string>{"/results?search_query=C%23%20kurs&search=Search", later + "&page=2",
                                               later + "&page=3"}));
  EXPECT_EQ(frm->controls.lstResult.count(), 60);
  EXPECT_TRUE(QTest::qWaitFor([&] { return resultList()->topLevelItemCount() == 60; }));
}

// Closing the window ends the process, so each close runs in a program of its own.
TEST(MainWindowClose, DuringEachWaitOnTheNetworkSavesAndEndsTheProgram) {
  for (const std::string wait : {"page", "link", "picture"}) {
    SCOPED_TRACE(wait);
    test::TempDir dir;
    test::writeFile(dir.file("sets.cfg"), "respages:1\r\ncleartxt:1\r\npreview:1\r\ninfront:0\r\nfifth line\r\n");
    test::writeFile(dir.file("vid.kf"), "<html><body>%</body></html>\r\n");
    test::writeFile(dir.file("result2.txt"), "alt");
    EXPECT_EQ(test::runProgram(KF_CLOSE_PROBE, dir.path(), {"KF_PROBE_WAIT=" + wait, "XDG_RUNTIME_DIR=" + dir.path()}),
              0);
    EXPECT_EQ(test::readFile(dir.file("sets.cfg")), "respages:2\r\ncleartxt:1\r\npreview:1\r\ninfront:0\r\n");
    EXPECT_EQ(test::readFile(dir.file("dat/fav.kf")), "0\r\n");
    EXPECT_EQ(test::readFile(dir.file("result2.txt")), "alt") << "the page in hand is not written";
  }
}

TEST_F(MainWindowQtTest, TheBrowserLoadsNothingUntilTheSiteButtonShowsIt) {
  auto *view = qobject_cast<QWebEngineView *>(widgetOf(frm->controls.brw));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->findChild<QWebEnginePage *>(), nullptr) << "no page: the web engine has not started";
  EXPECT_TRUE(site.requests().empty());

  QSignalSpy finished(view, &QWebEngineView::loadFinished);
  frm->controls.cmdToFav.click();
  EXPECT_TRUE(view->isVisible());
  // Chromium starts its helper process first; the limit is for a stuck load, not a measure.
  ASSERT_TRUE(finished.count() > 0 || finished.wait(120000));
  EXPECT_TRUE(finished.front().front().toBool());
  EXPECT_EQ(view->url().toString().toStdString(), "http://www.localhost:" + std::to_string(port) + "/");
  ASSERT_FALSE(site.requests().empty());
  EXPECT_EQ(site.requests().front().target, "/");
}

TEST_F(MainWindowQtTest, ALaterStartBringsTheMinimisedWindowBackToTheFront) {
  QWidget *window = widgetOf(frm->controls.window);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window->showMinimized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }));

  // The later start's word is taken on this, the window thread, which runs meanwhile.
  std::future<bool> taken =
      std::async(std::launch::async, [&] { return instance::handOver(handOverPathFor(dir.path()), "show", 30s); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return taken.wait_for(0s) == std::future_status::ready; }, 60000));
  ASSERT_TRUE(taken.get());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isMinimized() && window->isActiveWindow(); }, 60000));
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowQtTest, TheFavouritesViewsWatchButtonPlaysTheSelectedFavourite) {
  test::writeFile(dir.file("vid.kf"), "<p>%</p>\r\n");
  frm->controls.txtSearch.setText("katze");
  frm->controls.cmdSearch.click();
  ASSERT_GT(frm->controls.lstResult.count(), 1);
  frm->controls.lstResult.clickItem(2);
  frm->controls.cmdMark.click();
  frm->controls.lstResult.clickItem(1);
  const std::string favourite = frm->controls.lstResult.subItemText(2, 2);
  const std::string result = frm->controls.lstResult.subItemText(1, 2);

  QTest::mouseClick(widgetOf(frm->controls.cmdFavs), Qt::LeftButton);
  auto *favourites = qobject_cast<QTreeWidget *>(widgetOf(frm->controls.lstFavs));
  ASSERT_TRUE(favourites->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return favourites->topLevelItemCount() == 1; }));
  const QRect firstRow = favourites->visualItemRect(favourites->topLevelItem(0));
  QTest::mouseClick(favourites->viewport(), Qt::LeftButton, {}, firstRow.center());
  QTest::mouseClick(widgetOf(frm->controls.cmdWatch), Qt::LeftButton);

  EXPECT_EQ(test::readFile(dir.file("dat/" + favourite + ".html")), "<p>" + favourite + "</p>\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("dat/" + result + ".html")));
  EXPECT_EQ(test::qtToolkit().boxes.take().size(), 0U);
}

}  // namespace
}  // namespace kf::windows
