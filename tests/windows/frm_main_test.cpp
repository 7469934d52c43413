// Start and close of the main window in a folder of its own: the data folder, the settings and
// favourites files, the hidden browser, the windows that exist only once and the one program that
// may run on a folder.
#include "windows/frm_main.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <thread>

#include "platform/base/cp1252.h"
#include "platform/base/system_message.h"
#include "platform/os/instance/instance_lock.h"
#include "platform/ui/headless_toolkit.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/temp_dir.h"
#include "support/without_locks.h"
#include "windows/video_rows.h"

namespace kf::windows {
namespace {

using namespace std::chrono_literals;

class FrmMainTest : public ::testing::Test {
 protected:
  FrmMainTest() { ui::setToolkit(tk); }

  std::unique_ptr<FrmMain> make(ui::HeadlessToolkit &toolkit) {
    return std::make_unique<FrmMain>(toolkit, Environment{dir.path(), test::localSiteAddress(1)});
  }
  std::unique_ptr<FrmMain> make() { return make(tk); }

  // The exit status the start ends the process with; -1 when it goes on.
  static int exitOfStart(FrmMain &frm) {
    try {
      frm.start();
    } catch (const ui::ProcessEnded &ended) {
      return ended.exitCode;
    }
    return -1;
  }

  // Runs `work` on a thread of its own, as another process would, while this thread goes on as the
  // window thread of the program started first.
  template <typename Work>
  auto besideTheWindow(Work work) {
    auto done = std::async(std::launch::async, work);
    while (done.wait_for(10ms) != std::future_status::ready) tk.doEvents();
    return done.get();
  }

  void deliverSettings(const std::string &bytes = "respages:3\r\ncleartxt:1\r\npreview:0\r\ninfront:1\r\n") {
    test::writeFile(dir.file("sets.cfg"), bytes);
  }

  ui::HeadlessToolkit tk;
  test::TempDir dir;
};

TEST_F(FrmMainTest, FirstStartMakesTheDataFolderAndASecondStartLeavesItAlone) {
  deliverSettings();
  auto first = make();
  first->start();
  struct stat before {};
  ASSERT_EQ(::stat(dir.file("dat").c_str(), &before), 0);
  EXPECT_TRUE(S_ISDIR(before.st_mode));
  test::writeFile(dir.file("dat/keep.txt"), "x");
  first.reset();

  auto second = make();
  second->start();
  EXPECT_EQ(test::readFile(dir.file("dat/keep.txt")), "x");
  EXPECT_TRUE(second->controls.window.isOpen());
  EXPECT_TRUE(tk.boxes.shown().empty());
}

TEST_F(FrmMainTest, AFileNamedDatEndsTheStartWithTheRunTimeErrorMessage) {
  deliverSettings();
  test::writeFile(dir.file("dat"), "not a folder");
  auto frm = make();
  EXPECT_THROW(frm->start(), ui::ProcessEnded);
  ASSERT_EQ(tk.boxes.shown().size(), 1U);
  EXPECT_EQ(tk.boxes.shown()[0].title, "Klipfang");
  EXPECT_EQ(tk.boxes.shown()[0].icon, ui::MessageIcon::Critical);
  EXPECT_NE(tk.boxes.shown()[0].text.find("Laufzeitfehler"), std::string::npos);
  EXPECT_FALSE(frm->controls.window.isOpen());
}

TEST_F(FrmMainTest, UnreadableSettingsEndTheProgramBeforeItShowsOrWrites) {
  deliverSettings("respages:3\r\ncleartxt:1\r\npreview:0\r\n");
  auto frm = make();
  EXPECT_THROW(frm->start(), ui::ProcessEnded);
  ASSERT_EQ(tk.boxes.shown().size(), 1U);
  EXPECT_EQ(tk.boxes.shown()[0].title, "Fehler ist aufgetreten!");
  EXPECT_FALSE(frm->controls.window.isOpen());
  EXPECT_EQ(test::readFile(dir.file("sets.cfg")), "respages:3\r\ncleartxt:1\r\npreview:0\r\n");
  struct stat st {};
  EXPECT_NE(::stat(dir.file("dat/fav.kf").c_str(), &st), 0);
}

TEST_F(FrmMainTest, StartLoadsTheFilesAndTheSiteButtonFirstLoadsTheHomePage) {
  deliverSettings("respages:7\r\ncleartxt:0\r\npreview:1\r\ninfront:0\r\n");
  ::mkdir(dir.file("dat").c_str(), 0755);
  test::writeFile(dir.file("dat/fav.kf"), "1\r\nFilm|abcdefghijk|http://p/x.jpg|Titel|1:00\r\n");
  auto frm = make();
  frm->start();
  EXPECT_EQ(frm->settings.respages, 7);
  EXPECT_FALSE(frm->settings.cleartxt);
  EXPECT_TRUE(frm->settings.preview);
  EXPECT_EQ(frm->controls.lstFavs.count(), 1);
  EXPECT_EQ(frm->controls.window.focused(), &frm->controls.txtSearch);

  EXPECT_EQ(frm->controls.brw.location(), "") << "the hidden browser loads nothing before it is shown";
  EXPECT_FALSE(frm->controls.brw.visible());
  frm->controls.cmdToFav.click();
  EXPECT_EQ(frm->controls.brw.location(), test::localSiteAddress(1).root);
  EXPECT_TRUE(frm->controls.brw.visible());
}

// A second start on a folder that a running program holds ends before it reads or writes a file.
TEST_F(FrmMainTest, ASecondStartOnTheSameFolderEndsWithoutTouchingItsFiles) {
  deliverSettings();
  auto first = make();
  first->start();
  test::writeFile(dir.file("sets.cfg"), "respages:3\r\n");

  ui::HeadlessToolkit elsewhere;
  auto second = make(elsewhere);
  EXPECT_EQ(besideTheWindow([&] { return exitOfStart(*second); }), 0);
  EXPECT_TRUE(elsewhere.boxes.shown().empty()) << "the settings were not read";
  EXPECT_FALSE(second->controls.window.isOpen());
  EXPECT_EQ(test::readFile(dir.file("sets.cfg")), "respages:3\r\n");

  // A holder that does not answer: the user is told, nothing is read.
  first.reset();
  std::optional<instance::InstanceLock> holder = instance::InstanceLock::tryTake(dir.file("dat/klipfang.lock"));
  ASSERT_TRUE(holder);
  auto third = make();
  EXPECT_EQ(exitOfStart(*third), 1);
  ASSERT_EQ(tk.boxes.shown().size(), 1U);
  EXPECT_EQ(
      tk.boxes.shown()[0].text.rfind(text::cp1252(u8"Klipfang läuft bereits mit diesem Ordner:\n") + dir.path(), 0),
      0U);
  EXPECT_EQ(test::readFile(dir.file("sets.cfg")), "respages:3\r\n");
  EXPECT_FALSE(third->controls.window.isOpen());

  // A holder that ends while a start tries to reach it: the start runs in its place.
  std::thread ending([&] {
    std::this_thread::sleep_for(300ms);
    holder.reset();
  });
  deliverSettings();
  auto fourth = make();
  EXPECT_EQ(exitOfStart(*fourth), -1);
  ending.join();
  EXPECT_TRUE(fourth->controls.window.isOpen());

  // A save that fails holds the close steps in a message box: a start meanwhile is not answered by
  // the window that is going away.
  std::filesystem::remove(dir.file("sets.cfg"));
  std::filesystem::create_directories(dir.file("sets.cfg/in the way"));
  std::optional<bool> cameForward;
  tk.boxes.whileShown = [&](const ui::Message &) {
    cameForward = besideTheWindow([&] { return instance::handOver(handOverPathFor(dir.path()), "show", 0ms); });
  };
  EXPECT_THROW(fourth->controls.window.close(), ui::ProcessEnded);
  EXPECT_EQ(cameForward, false);
}

TEST_F(FrmMainTest, ALockThatFailsEndsTheStartWithTheSystemsReason) {
  deliverSettings();
  auto frm = make();
  int exit = -1;
  if (!test::runWithoutLocks([&] { exit = exitOfStart(*frm); })) GTEST_SKIP() << "no thread's flock can fail here";
  EXPECT_EQ(exit, 1);
  ASSERT_EQ(tk.boxes.shown().size(), 1U);
  EXPECT_TRUE(tk.boxes.shown()[0].text.ends_with("Die Sperrdatei kann nicht gesperrt werden: " +
                                                 dir.file("dat/klipfang.lock") + " (" + systemMessage(ENOLCK) + ")"));
}

TEST_F(FrmMainTest, CloseWritesSettingsAndFavouritesThenEndsTheProcess) {
  deliverSettings("respages:2\r\ncleartxt:7\r\npreview:1\r\ninfront:0\r\nfifth line\r\n");
  auto frm = make();
  frm->start();
  frm->settings.infront = true;
  EXPECT_THROW(frm->controls.window.close(), ui::ProcessEnded);
  EXPECT_EQ(test::readFile(dir.file("sets.cfg")), "respages:2\r\ncleartxt:0\r\npreview:1\r\ninfront:1\r\n");
  EXPECT_EQ(test::readFile(dir.file("dat/fav.kf")), "0\r\n");
}

TEST_F(FrmMainTest, SettingsAndAboutWindowsOpenOnceAndComeToTheFront) {
  deliverSettings();
  auto frm = make();
  frm->start();
  frm->controls.cmdSets.click();
  frm->controls.cmdInfo.click();
  const void *settingsWindow = frm->settingsWindow().window();
  const void *aboutWindow = frm->infoWindow().current();
  ASSERT_NE(settingsWindow, nullptr);
  ASSERT_NE(aboutWindow, nullptr);
  frm->controls.cmdSets.click();
  frm->controls.cmdInfo.click();
  EXPECT_EQ(frm->settingsWindow().window(), settingsWindow);
  EXPECT_EQ(frm->infoWindow().current(), aboutWindow);
  EXPECT_TRUE(frm->settingsWindow().window()->window.isOpen());
  EXPECT_TRUE(frm->infoWindow().current()->window.isOpen());
  EXPECT_TRUE(frm->controls.window.isOpen());
}

// Every key of the main window, pressed where the user would press it: the commands on the selected
// video work on the list shown, the copies and Enter on the list they are pressed in.
TEST_F(FrmMainTest, EveryKeyReachesItsCommandWhereItIsPressed) {
  using namespace ui::keys;
  deliverSettings();
  test::writeFile(dir.file("vid.kf"), "<p>%</p>\r\n");
  auto frm = make();
  frm->start();
  MainControls &c = frm->controls;
  const auto press = [&](ui::Control &control, int code, int shift = 0) {
    c.window.setFocus(control);
    return c.window.keyDown(code, shift);
  };
  for (const char *id : {"aaaaaaaaaaa", "bbbbbbbbbbb"}) frm->results.append({"Titel", id, "pic", "Film", "1:00"});
  const std::string selectFirst = text::cp1252(u8"Bitte zuerst ein Video auswählen.");
  for (const auto &[code, shift] : std::initializer_list<std::pair<int, int>>{{kEnter, 0},
                                                                              {'D', kCtrl},
                                                                              {'D', kCtrl | kShift},
                                                                              {'S', kCtrl},
                                                                              {'C', kCtrl},
                                                                              {'C', kCtrl | kShift},
                                                                              {kMenu, 0},
                                                                              {kF10, kShift}}) {
    SCOPED_TRACE(code);
    c.labSel.setCaption("");
    EXPECT_TRUE(press(c.lstResult, code, shift));
    EXPECT_EQ(c.labSel.caption(), selectFirst) << "nothing selected";
  }
  EXPECT_FALSE(c.fraCMD.visible());
  EXPECT_TRUE(tk.boxes.shown().empty());

  c.lstResult.select(2);
  EXPECT_TRUE(press(c.lstResult, 'D', kCtrl));
  EXPECT_EQ(c.lstFavs.count(), 1);
  EXPECT_EQ(c.lstResult.smallIcon(2), 1);
  EXPECT_TRUE(press(c.lstResult, 'C', kCtrl));
  EXPECT_EQ(tk.clipboardText(), test::localSiteAddress(1).root + "/watch?v=bbbbbbbbbbb");
  // Nothing answers at the site: the file address cannot be had, for the copy and the download alike.
  EXPECT_TRUE(press(c.lstResult, 'C', kCtrl | kShift));
  EXPECT_TRUE(press(c.lstResult, 'S', kCtrl));
  ASSERT_EQ(tk.boxes.shown().size(), 2U);
  for (const auto &message : tk.boxes.shown()) {
    EXPECT_EQ(message.text.rfind("Die Adresse der Videodatei wurde nicht gefunden.", 0), 0U);
  }
  EXPECT_TRUE(press(c.lstResult, kEnter));
  EXPECT_EQ(test::readFile(dir.file("dat/bbbbbbbbbbb.html")), "<p>bbbbbbbbbbb</p>\r\n");

  // The panel from the keyboard, the keyboard on its first button; Esc gives it back to the list,
  // and a left click outside also hides the panel, one on its own buttons leaves it to them.
  EXPECT_TRUE(press(c.lstResult, kF10, kShift));
  EXPECT_TRUE(c.fraCMD.visible());
  EXPECT_EQ(c.window.focused(), &c.cmdLink);
  c.window.escape();
  EXPECT_FALSE(c.fraCMD.visible());
  EXPECT_EQ(c.window.focused(), &c.lstResult);
  EXPECT_TRUE(press(c.lstResult, kMenu));
  c.window.leftMouseDown(&c.cmdLink);
  EXPECT_TRUE(c.fraCMD.visible());
  c.window.leftMouseDown(&c.lstResult);
  EXPECT_FALSE(c.fraCMD.visible());

  // In the favourites: the copy takes the favourite, marking it again changes nothing, unmarking
  // removes it and its star.
  c.cmdFavs.click();
  c.lstFavs.select(1);
  c.lstResult.select(1);
  EXPECT_TRUE(press(c.lstFavs, 'C', kCtrl));
  EXPECT_EQ(tk.clipboardText(), test::localSiteAddress(1).root + "/watch?v=bbbbbbbbbbb");
  EXPECT_TRUE(press(c.lstFavs, 'D', kCtrl));
  EXPECT_EQ(c.lstFavs.count(), 1);
  EXPECT_TRUE(press(c.lstFavs, 'D', kCtrl | kShift));
  EXPECT_EQ(c.lstFavs.count(), 0);
  EXPECT_EQ(c.lstResult.smallIcon(2), 0);

  for (const auto &[code, shift] : std::initializer_list<std::pair<int, int>>{{'F', kCtrl}, {kF6, 0}}) {
    c.txtSearch.setText("katze");
    EXPECT_TRUE(press(c.lstFavs, code, shift));
    EXPECT_EQ(c.window.focused(), &c.txtSearch);
    EXPECT_TRUE(c.txtSearch.allSelected());
  }
  EXPECT_FALSE(press(c.lstFavs, 'X', kCtrl)) << "a key the window has no command for goes to the control";
  EXPECT_FALSE(press(c.txtSearch, kEnter)) << "Enter in the search box is the box's own";
}

// The search brings the result list to the front, Esc stops it while it waits for the site, and its
// words are offered in the search box from then on.
TEST_F(FrmMainTest, EscStopsARunningSearchThatCameToTheFront) {
  // Before the server, whose answer may still wait on them when a failed test ends.
  std::mutex mutex;
  std::condition_variable released;
  bool go = false;
  test::HttpTestServer site;
  site.routes.Get("/results", [&](const httplib::Request &, httplib::Response &response) {
    std::unique_lock lock(mutex);
    released.wait_for(lock, 30s, [&] { return go; });
    response.set_content("", "text/html");
  });
  site.start();
  deliverSettings();
  auto frm = std::make_unique<FrmMain>(tk, Environment{dir.path(), test::localSiteAddress(site.port())});
  frm->start();
  MainControls &c = frm->controls;
  c.cmdFavs.click();
  c.txtSearch.setText("katze");
  bool inFront = false;
  tk.onDoEvents = [&] {
    if (!c.cmdAbortS.visible() || frm->searchAborted()) return;
    inFront = c.lstResult.visible() && !c.lstFavs.visible();
    c.window.escape();
    std::lock_guard lock(mutex);
    go = true;
    released.notify_all();
  };
  c.cmdSearch.click();
  EXPECT_TRUE(inFront);
  EXPECT_TRUE(frm->searchAborted());
  EXPECT_TRUE(c.cmdSearch.visible());
  EXPECT_EQ(c.txtSearch.suggestions(), std::vector<std::string>{"katze"});
  EXPECT_TRUE(tk.boxes.shown().empty());
}

}  // namespace
}  // namespace kf::windows
