// The downloads window on the headless toolkit: its rows against the bundled site and the raw test
// server, real files in a temporary download folder, and the hand-over of a later start.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "downloads/row_texts.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/ui/headless_toolkit.h"
#include "site/faults/faulty_server.h"
#include "support/environment_variable.h"
#include "support/file_size_limit.h"
#include "support/programs.h"
#include "support/raw_http_server.h"
#include "support/temp_dir.h"
#include "support/without_locks.h"
#include "windows/downloads/frm_downloads.h"
#include "windows/downloads/window_claim.h"

namespace kf::downloads {
namespace {

using test::filesIn;
using test::readFile;
using Names = std::vector<std::string>;

// Holds a server's answer until the test lets it go on; a test that fails first lets the server end
// a minute later.
class Gate {
 public:
  void open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }
  void wait() {
    std::unique_lock lock(mutex_);
    opened_.wait_for(lock, std::chrono::minutes(1), [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

std::string clipBytes(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>('a' + i * 7 % 26);
  return bytes;
}

std::string head(int status, const std::string &headers) {
  return "HTTP/1.1 " + std::to_string(status) + (status == 206 ? " Partial Content" : " OK") + "\r\n" + headers +
         "Connection: close\r\n\r\n";
}

class DownloadsWindowTest : public testing::Test {
 protected:
  DownloadsWindowTest() {
    ui::setToolkit(tk);
    std::filesystem::create_directory(downloads);
  }

  std::string clipAddress(int index, const std::string &extra = "") const {
    const site::Video &video = site.site().catalogue().videos().at(index);
    return "http://localhost:" + std::to_string(port) + "/get_video.php?video_id=" + video.id +
           "&t=" + site.site().token(video) + extra;
  }
  std::string clipOf(int index) const {
    const site::Video &video = site.site().catalogue().videos().at(index);
    return site.site()
        .answer({"GET", "/get_video.php?video_id=" + video.id + "&t=" + site.site().token(video), "localhost"})
        .body;
  }
  std::string rawAddress(const test::RawHttpServer &server, const std::string &path = "/clip.webm") const {
    return "http://" + server.hostAndPort() + path;
  }

  DownloadRow &row(int number) { return *frm.rows.at(static_cast<std::size_t>(number - 1)); }
  DownloadState state(int number) { return row(number).download().state(); }
  void waitUntil(const std::function<bool()> &condition) {
    while (!condition()) tk.waitForEvent();
  }
  void waitUntilEnded(int number) {
    waitUntil([&] { return state(number) != DownloadState::Running; });
  }
  std::string file(const std::string &name) const { return readFile(downloads + "/" + name); }
  std::uintmax_t partSize(const std::string &name) const {
    std::error_code error;
    const auto size = std::filesystem::file_size(downloads + "/" + name + ".part", error);
    return error ? 0 : size;
  }

  ui::HeadlessToolkit tk;
  test::TempDir dir;
  const std::string downloads = dir.file("Downloads");
  site::FaultyServer site;
  const int port = site.start();
  std::vector<std::string> opened;
  std::optional<std::string> openFailure;
  std::vector<std::string> notifications;
  // The questions the window asked, each in the window's own title.
  std::vector<std::string> questions() const {
    std::vector<std::string> texts;
    for (const ui::Message &box : tk.boxes.shown()) {
      EXPECT_TRUE(box.question);
      EXPECT_EQ(box.title, frm.window.caption());
      texts.push_back(box.text);
    }
    return texts;
  }
  FrmDownloads frm{tk, downloads,
                   DesktopServices{[this](const std::string &path) {
                                     opened.push_back(path);
                                     return openFailure;
                                   },
                                   [this](const std::string &summary, const std::string &body) {
                                     notifications.push_back(summary + "\n" + body);
                                   }}};
};

TEST(RowTexts, GermanNumbersCutNotRoundedUp) {
  EXPECT_EQ(progressText(12'345'678, 45'678'901), "12,3 MB von 45,6 MB");
  EXPECT_EQ(progressText(999'999, std::nullopt), "999 kB");
  EXPECT_EQ(byteText(1), "1 Byte");
  EXPECT_EQ(byteText(999), "999 Bytes");
  EXPECT_EQ(byteText(4'299'999'999), "4,2 GB");
  EXPECT_EQ(speedText(1'250'000.0), "1,2 MB/s");
  EXPECT_EQ(speedText(812.9), "812 Bytes/s");
  EXPECT_EQ(speedText(0.25), "1 Byte/s") << "bytes arrive, however slowly";
  EXPECT_EQ(timeLeftText(std::chrono::seconds(59)), "noch 59 Sek.");
  EXPECT_EQ(timeLeftText(std::chrono::seconds(61)), "noch 2 Min.");
  EXPECT_EQ(timeLeftText(std::chrono::seconds(2 * 3600 + 5 * 60)), "noch 2 Std. 05 Min.");
}

TEST_F(DownloadsWindowTest, TwoDownloadsRunSideBySideEachInItsRow) {
  // A file of the name is there already: the row shows the name the new one will get from the start.
  test::writeFile(downloads + "/lang.webm", "alt");
  const std::string slow = clipBytes(300'000);
  Gate rest;
  test::RawHttpServer held([&](const test::RawRequest &, test::RawConnection &connection) {
    connection.send(head(200, "Content-Length: 300000\r\nContent-Disposition: attachment; filename=\"lang.webm\"\r\n") +
                    slow.substr(0, 100'000));
    rest.wait();
    connection.send(slow.substr(100'000));
  });

  frm.add(rawAddress(held));
  frm.add(clipAddress(5));
  EXPECT_TRUE(frm.window.isOpen());
  EXPECT_EQ(frm.window.caption(), text::cp1252(u8"Klipfang – Downloads"));
  // The rows report while the first one's transfer waits half way: it runs off the window thread.
  waitUntil([&] { return row(1).controls.labBytes.caption() == "100 kB von 300 kB"; });
  waitUntilEnded(2);
  EXPECT_EQ(state(1), DownloadState::Running);
  const RowControls &running = row(1).controls;
  EXPECT_EQ(running.labName.caption(), "lang (1).webm");
  EXPECT_EQ(running.prgBytes.value(), 333);
  EXPECT_FALSE(running.prgBytes.busy());
  EXPECT_TRUE(running.cmdCancel.visible());
  EXPECT_EQ(running.cmdCancel.caption(), "Abbrechen");
  EXPECT_TRUE(running.labSpeed.visible());
  EXPECT_FALSE(running.cmdOpen.visible() || running.cmdRetry.visible() || running.labState.visible());
  EXPECT_EQ(running.fraRow.accessibleName(), text::cp1252(u8"lang (1).webm – läuft"));
  Names expected{"lang (1).webm.part", "lang.webm", row(2).download().name()};
  std::ranges::sort(expected);
  EXPECT_EQ(filesIn(downloads), expected);

  rest.open();
  waitUntilEnded(1);
  for (const int number : {1, 2}) {
    const RowControls &done = row(number).controls;
    EXPECT_EQ(state(number), DownloadState::Finished);
    EXPECT_EQ(done.labState.caption(), "Fertig");
    EXPECT_EQ(done.prgBytes.value(), 1000);
    EXPECT_TRUE(done.cmdOpen.visible() && done.cmdFolder.visible());
    EXPECT_FALSE(done.cmdCancel.visible() || done.labSpeed.visible());
  }
  EXPECT_EQ(row(1).controls.labBytes.caption(), "300 kB");
  EXPECT_EQ(row(1).controls.labName.caption(), "lang (1).webm");
  EXPECT_EQ(row(1).controls.fraRow.accessibleName(), text::cp1252(u8"lang (1).webm – Fertig"));
  EXPECT_EQ(file("lang (1).webm"), slow);
  EXPECT_EQ(file("lang.webm"), "alt");
  EXPECT_EQ(file(row(2).download().name()), clipOf(5));
  EXPECT_EQ(notifications.back(), "Download abgeschlossen\nGespeichert unter " + downloads + "/lang (1).webm");

  row(1).controls.cmdOpen.click();
  row(1).controls.cmdFolder.click();
  EXPECT_EQ(opened, (Names{downloads + "/lang (1).webm", downloads}));
  // What cannot be opened is told by its name: a file gone meanwhile, a folder without an opener.
  std::filesystem::remove(downloads + "/lang (1).webm");
  row(1).controls.cmdOpen.click();
  openFailure = text::cp1252(u8"Das Programm „xdg-open“ fehlt.");
  row(1).controls.cmdFolder.click();
  EXPECT_EQ(opened.size(), 3U) << "only the folder reached the opener";
  ASSERT_EQ(tk.boxes.shown().size(), 2U);
  EXPECT_EQ(tk.boxes.shown()[0].text,
            text::cp1252(u8"Die Datei „") + downloads +
                text::cp1252(u8"/lang (1).webm“ kann nicht geöffnet werden. Es gibt sie nicht mehr."));
  EXPECT_EQ(tk.boxes.shown()[1].text,
            text::cp1252(u8"Der Ordner „") + downloads +
                text::cp1252(u8"“ kann nicht geöffnet werden. Das Programm „xdg-open“ fehlt."));
  // The window stays after the last download, until the user closes it, without a question.
  EXPECT_TRUE(frm.window.isOpen());
  EXPECT_TRUE(frm.window.requestClose());
  EXPECT_EQ(tk.boxes.shown().size(), 2U) << "closing asked nothing";
}

TEST_F(DownloadsWindowTest, CancelStopsTheTransferAndRemovesThePart) {
  test::RawHttpServer stalled([&](const test::RawRequest &, test::RawConnection &connection) {
    // No size: the bar is busy and shows the bytes so far.
    connection.send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + clipBytes(5000));
    connection.stall();
  });
  frm.add(rawAddress(stalled));
  waitUntil([&] { return row(1).controls.labBytes.caption() == "5 kB"; });
  EXPECT_TRUE(row(1).controls.prgBytes.busy());
  EXPECT_EQ(filesIn(downloads), Names{"clip.webm.part"});

  row(1).controls.cmdCancel.click();
  EXPECT_EQ(state(1), DownloadState::Cancelled);
  EXPECT_EQ(filesIn(downloads), Names{});
  EXPECT_EQ(row(1).controls.labState.caption(), "Abgebrochen");
  EXPECT_TRUE(row(1).controls.cmdRetry.visible());
  EXPECT_FALSE(row(1).controls.cmdCancel.visible() || row(1).controls.prgBytes.busy());
  EXPECT_TRUE(notifications.empty()) << "a cancel is the user's own doing";
}

TEST_F(DownloadsWindowTest, ACancelThatComesAfterTheFileIsWholeLeavesItFinished) {
  test::RawHttpServer server([](const test::RawRequest &, test::RawConnection &connection) {
    connection.send(test::rawAnswer(clipBytes(3000)));
  });
  frm.add(rawAddress(server));
  // The file is whole while the news of it still waits for the window thread, which the cancel
  // reaches first.
  ASSERT_TRUE(test::eventually([&] { return std::filesystem::exists(downloads + "/clip.webm"); }));
  row(1).controls.cmdCancel.click();
  waitUntilEnded(1);
  EXPECT_EQ(state(1), DownloadState::Finished);
  EXPECT_EQ(filesIn(downloads), Names{"clip.webm"});
  EXPECT_TRUE(row(1).controls.cmdOpen.visible());
  EXPECT_FALSE(row(1).controls.cmdRetry.visible()) << "no second copy";
}

// A server that gives each address its answers in turn, the first of them cut off half way.
class ResumeTest : public DownloadsWindowTest {
 protected:
  static constexpr std::size_t kSize = 10'000;
  const std::string whole = clipBytes(kSize);
  const std::string cutOff = head(200, "Content-Length: 10000\r\nETag: \"v1\"\r\n") + whole.substr(0, kSize / 2);
  const std::string rest =
      head(206, "Content-Length: 5000\r\nContent-Range: bytes 5000-9999/10000\r\nETag: \"v1\"\r\n") +
      whole.substr(kSize / 2);

  // Adds a row for `path`, lets its first answer break off, and retries once.
  void breakOffAndRetry(const std::string &path, std::vector<std::string> answers) {
    {
      std::lock_guard lock(mutex_);
      script_[path] = std::move(answers);
    }
    frm.add(rawAddress(server, path));
    const int number = static_cast<int>(frm.rows.size());
    waitUntilEnded(number);
    ASSERT_EQ(state(number), DownloadState::Failed);
    ASSERT_EQ(partSize(path.substr(1)), kSize / 2);
    row(number).controls.cmdRetry.click();
    waitUntilEnded(number);
  }

  std::vector<test::RawRequest> requestsFor(const std::string &path) const {
    std::vector<test::RawRequest> found;
    for (const auto &request : server.requests()) {
      if (request.target() == path) found.push_back(request);
    }
    return found;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::vector<std::string>> script_;
  std::map<std::string, std::size_t> asked_;

 protected:
  test::RawHttpServer server{[this](const test::RawRequest &request, test::RawConnection &connection) {
    std::string answer;
    {
      std::lock_guard lock(mutex_);
      const auto &answers = script_[request.target()];
      const std::size_t n = asked_[request.target()]++;
      answer = n < answers.size() ? answers[n] : std::string();
    }
    connection.send(answer);
  }};
};

TEST_F(ResumeTest, ACutOffAnswerFailsAndTheRetryAsksForTheRestWithIfRange) {
  breakOffAndRetry("/rest.webm", {cutOff, rest});
  // A cut-off answer is a failure, never a file; its bytes stayed for the retry.
  EXPECT_EQ(notifications.at(0), "Download fehlgeschlagen\n" + rawAddress(server, "/rest.webm") +
                                     "\nDie Verbindung brach ab, bevor die Datei vollst\xC3\xA4ndig war.");
  const auto requests = requestsFor("/rest.webm");
  ASSERT_EQ(requests.size(), 2U);
  EXPECT_EQ(requests[0].header("Range"), "");
  EXPECT_EQ(requests[1].header("Range"), "bytes=5000-");
  EXPECT_EQ(requests[1].header("If-Range"), "\"v1\"");
  EXPECT_EQ(state(1), DownloadState::Finished);
  EXPECT_EQ(file("rest.webm"), whole);

  // A weak entity tag promises no same bytes: the date of the first answer guards the range instead.
  const std::string date = "Tue, 01 Dec 2026 10:00:00 GMT";
  breakOffAndRetry("/weak.webm",
                   {head(200, "Content-Length: 10000\r\nETag: W/\"w\"\r\nLast-Modified: " + date + "\r\n") +
                        whole.substr(0, kSize / 2),
                    rest});
  EXPECT_EQ(requestsFor("/weak.webm").at(1).header("If-Range"), date);
  EXPECT_EQ(file("weak.webm"), whole);
}

TEST_F(ResumeTest, AWholeAnswerToTheRetryIsReadFromTheStart) {
  // A server that does not do ranges, and one whose file changed since: both send it whole.
  const std::string changed = clipBytes(12'000).substr(2000);
  breakOffAndRetry("/ignores.webm", {cutOff, head(200, "Content-Length: 10000\r\nETag: \"v1\"\r\n") + whole});
  breakOffAndRetry("/changed.webm", {cutOff, head(200, "Content-Length: 10000\r\nETag: \"v2\"\r\n") + changed});
  EXPECT_EQ(requestsFor("/changed.webm").at(1).header("If-Range"), "\"v1\"");
  EXPECT_EQ(file("ignores.webm"), whole);
  EXPECT_EQ(file("changed.webm"), changed);

  // Another part than asked for cannot be joined to the bytes in hand: they go, the next try starts anew.
  breakOffAndRetry("/wrong.webm",
                   {cutOff,
                    head(206, "Content-Length: 3000\r\nContent-Range: bytes 7000-9999/10000\r\nETag: \"v1\"\r\n") +
                        whole.substr(7000),
                    test::rawAnswer(whole)});
  EXPECT_EQ(state(3), DownloadState::Failed);
  EXPECT_EQ(filesIn(downloads), (Names{"changed.webm", "ignores.webm"}));
  row(3).controls.cmdRetry.click();
  waitUntilEnded(3);
  EXPECT_EQ(requestsFor("/wrong.webm").at(2).header("Range"), "");
  EXPECT_EQ(file("wrong.webm"), whole);
}

TEST_F(DownloadsWindowTest, TheSitesClipBrokenOffHalfWayComesWholeWithTheRetry) {
  frm.add(clipAddress(4, "&fehler-halb"));
  waitUntilEnded(1);
  ASSERT_EQ(state(1), DownloadState::Failed);
  const std::string name = row(1).download().name();
  EXPECT_EQ(partSize(name), clipOf(4).size() / 2);

  row(1).controls.cmdRetry.click();
  waitUntilEnded(1);
  EXPECT_EQ(state(1), DownloadState::Finished);
  EXPECT_EQ(filesIn(downloads), Names{name});
  EXPECT_EQ(file(name), clipOf(4));
}

TEST_F(DownloadsWindowTest, FailuresSayWhyAndLeaveNothingARetryCannotUse) {
  test::RawHttpServer huge([](const test::RawRequest &, test::RawConnection &connection) {
    connection.send(head(200, "Content-Length: 5000000000\r\n") + clipBytes(64 * 1024));
  });
  frm.add("ftp://localhost/clip.webm");
  frm.add(clipAddress(3, "&fehler-500"));
  frm.add("http://localhost:" + std::to_string(test::deadPort()) + "/get_video.php?");
  frm.add(rawAddress(huge));
  for (const int number : {1, 2, 3, 4}) waitUntilEnded(number);

  const auto problem = [&](int number) { return row(number).controls.labState.caption(); };
  EXPECT_EQ(problem(1), "Die Adresse ist keine http-Adresse: ftp://localhost/clip.webm");
  EXPECT_FALSE(row(1).controls.cmdRetry.visible()) << "no second try can mend the address";
  EXPECT_EQ(problem(2), "Der Server antwortet mit dem Status 500.");
  EXPECT_EQ(problem(3), "Der Server ist nicht erreichbar.");
  // Over the cap before a byte is written.
  EXPECT_EQ(problem(4), text::cp1252(u8"Die Datei ist größer als 4 GiB."));
  for (const int number : {2, 3, 4}) EXPECT_TRUE(row(number).controls.cmdRetry.visible()) << number;
  EXPECT_EQ(notifications.size(), 4U);
  EXPECT_EQ(filesIn(downloads), Names{});

  // A full disk: the system's reason, and the part file goes.
  {
    test::FileSizeLimit nearlyFull(1024);
    frm.add(clipAddress(4));
    waitUntilEnded(5);
  }
  EXPECT_EQ(state(5), DownloadState::Failed);
  EXPECT_TRUE(problem(5).ends_with(": File too large")) << problem(5);
  EXPECT_EQ(filesIn(downloads), Names{});
}

TEST_F(DownloadsWindowTest, HostileNamesStayInTheFolderAndShowWhatTheyAre) {
  test::RawHttpServer crafted([](const test::RawRequest &request, test::RawConnection &connection) {
    const std::string target = request.target();
    // NOLINTNEXTLINE(misc-misleading-bidirectional): the file-name check is fed it on purpose
    const std::string reversed = "-rf\xE2\x80\xAEmbew.exe";
    const std::string name = target == "/evil" ? "../../escaped" : target == "/override" ? reversed : "";
    connection.send(
        test::rawAnswer("bytes", name.empty() ? "" : "Content-Disposition: attachment; filename=\"" + name + "\"\r\n"));
  });
  frm.add(rawAddress(crafted, "/evil"));
  frm.add(rawAddress(crafted, "/override"));
  frm.add(rawAddress(crafted, "/empty/.profile?x"));
  for (const int number : {1, 2, 3}) waitUntilEnded(number);
  EXPECT_EQ(filesIn(downloads), (Names{"_.._escaped", "profile", "rfmbew.exe"}));
  EXPECT_FALSE(std::filesystem::exists(dir.file("escaped")));
}

TEST_F(DownloadsWindowTest, OpenHandsOnVideoAndAudioAndAsksForAnythingElse) {
  const std::string webm = "\x1A\x45\xDF\xA3 webm";
  const std::map<std::string, std::string> answers = {
      {"/launcher", test::rawAnswer("[Desktop Entry]\nExec=sh",
                                    "Content-Type: video/webm\r\nContent-Disposition: "
                                    "attachment; filename=\"film.desktop\"\r\n")},
      {"/app.jar", test::rawAnswer("PK\x03\x04", "Content-Type: application/java-archive; x=1\r\n")},
      {"/program", test::rawAnswer("\x7F"
                                   "ELF",
                                   "Content-Type: video/webm\r\n")},
      {"/get_video.php", test::rawAnswer(webm, "Content-Type: video/webm\r\n")},
      {"/film", test::rawAnswer(webm, "Content-Type: Video/WebM; codecs=vp9\r\n")},
      {"/Lied.MP3", test::rawAnswer("ID3", "Content-Type: text/plain\r\n")},
  };
  test::RawHttpServer server([&](const test::RawRequest &request, test::RawConnection &connection) {
    connection.send(answers.at(request.target()));
  });
  for (const auto &[path, reply] : answers) frm.add(rawAddress(server, path));
  for (int number = 1; number <= static_cast<int>(answers.size()); ++number) {
    waitUntilEnded(number);
    row(number).controls.cmdOpen.click();
  }
  // A video or audio file by its extension, or without one by its type and first bytes, opens at
  // once; the others are asked for and, answered "Nein", stay shut.
  EXPECT_EQ(opened, (Names{downloads + "/Lied.MP3", downloads + "/film"}));
  const auto question = [](const std::string &name, const std::string &type) {
    return text::cp1252(u8"Die Datei „") + name +
           text::cp1252(u8"“ ist nicht als Video- oder Audiodatei zu erkennen (Typ laut Server: ") + type +
           text::cp1252(
               u8"). Eine solche Datei kann beim Öffnen ein Programm starten. Soll sie trotzdem geöffnet "
               u8"werden?");
  };
  EXPECT_EQ(questions(),
            (Names{question("app.jar", "application/java-archive"), question("get_video.php", "video/webm"),
                   question("film.desktop", "video/webm"), question("program", "video/webm")}));

  tk.boxes.answerNext(true);
  row(5).controls.cmdOpen.click();
  EXPECT_EQ(opened.back(), downloads + "/film.desktop") << "the user's own choice";
}

TEST_F(DownloadsWindowTest, ClosingAsksWhileDownloadsRunAndTakesTheirPartsAlong) {
  Gate never;
  test::RawHttpServer stalled([&](const test::RawRequest &, test::RawConnection &connection) {
    connection.send(head(200, "Content-Length: 20000\r\n") + clipBytes(8000));
    never.wait();
  });
  bool closed = false;
  frm.onClosed = [&] { closed = true; };
  frm.add(rawAddress(stalled, "/running.webm"));
  frm.add(clipAddress(4, "&fehler-halb"));
  frm.add(clipAddress(5));
  waitUntil([&] { return partSize("running.webm") == 8000 && state(2) != DownloadState::Running; });
  waitUntilEnded(3);
  const std::string finished = row(3).download().name();
  ASSERT_EQ(filesIn(downloads).size(), 3U) << "the running part, the failed part, the finished file";

  EXPECT_FALSE(frm.window.requestClose()) << "answered Nein";
  EXPECT_EQ(questions(),
            Names{text::cp1252(u8"Ein Download läuft noch. Soll er abgebrochen und das Fenster geschlossen werden?")});
  EXPECT_TRUE(frm.window.isOpen());
  EXPECT_FALSE(closed);
  EXPECT_EQ(state(1), DownloadState::Running);

  // A download handed over while the user reads the question is not in the answer: it comes again.
  tk.boxes.answerNext(true);
  tk.boxes.answerNext(true);
  bool handed = false;
  tk.boxes.whileShown = [&](const ui::Message &) {
    if (!std::exchange(handed, true)) {
      EXPECT_TRUE(frm.add(rawAddress(stalled, "/handed.webm")));
    }
  };
  EXPECT_TRUE(frm.window.requestClose());
  EXPECT_EQ(questions().back(), text::cp1252(u8"Es laufen noch 2 Downloads. Sollen sie abgebrochen und das Fenster "
                                             u8"geschlossen werden?"));
  EXPECT_FALSE(frm.window.isOpen());
  EXPECT_TRUE(closed);
  EXPECT_FALSE(frm.add(rawAddress(stalled, "/late.webm"))) << "a closed window takes no more";
  // Only the finished file stays: the running and the failed rows' parts went with the window.
  EXPECT_EQ(filesIn(downloads), Names{finished});
  never.open();
}

// The question counts the downloads that still run while the user reads it, and goes when the last
// one ends: the close then ends nothing, and the window closes as the user asked.
TEST_F(DownloadsWindowTest, TheCloseQuestionFollowsTheDownloadsAndGoesWithTheLast) {
  Gate first;
  Gate second;
  const std::string bytes = clipBytes(20000);
  test::RawHttpServer held([&](const test::RawRequest &request, test::RawConnection &connection) {
    connection.send(head(200, "Content-Length: 20000\r\n") + bytes.substr(0, 8000));
    (request.target() == "/eins.webm" ? first : second).wait();
    connection.send(bytes.substr(8000));
  });
  frm.add(rawAddress(held, "/eins.webm"));
  frm.add(rawAddress(held, "/zwei.webm"));
  waitUntil([&] { return partSize("eins.webm") == 8000 && partSize("zwei.webm") == 8000; });
  std::string afterTheFirst;
  tk.boxes.whileShown = [&](const ui::Message &) {
    first.open();
    waitUntilEnded(1);
    afterTheFirst = tk.boxes.shown().back().text;
    second.open();
    waitUntilEnded(2);
  };
  EXPECT_TRUE(frm.window.requestClose()) << "the question went with the last download";
  EXPECT_EQ(afterTheFirst,
            text::cp1252(u8"Ein Download läuft noch. Soll er abgebrochen und das Fenster geschlossen werden?"));
  EXPECT_TRUE(tk.boxes.shown().back().withdrawn);
  EXPECT_FALSE(frm.window.isOpen());
  EXPECT_EQ(file("eins.webm"), bytes);
  EXPECT_EQ(file("zwei.webm"), bytes);
}

TEST_F(DownloadsWindowTest, ALaterStartHandsItsAddressToTheWindowAndEnds) {
  test::TempDir runtime;
  const test::EnvironmentVariable runtimeFolder("XDG_RUNTIME_DIR", runtime.path());
  std::optional<WindowClaim> claim = WindowClaim::claimOrHandOver(clipAddress(3));
  ASSERT_TRUE(claim);
  const auto server = claim->listen([&](const std::string &address) { return frm.add(address); });
  ASSERT_TRUE(server);
  frm.add(clipAddress(3));

  // The later start waits for the window thread, which takes the address while it runs.
  auto later = std::async(std::launch::async, [&] { return WindowClaim::claimOrHandOver(clipAddress(4)); });
  waitUntil([&] { return frm.rows.size() == 2; });
  EXPECT_FALSE(later.get()) << "handed over: the later start ends";
  waitUntilEnded(2);
  EXPECT_EQ(row(2).download().address(), clipAddress(4));
  EXPECT_EQ(file(row(2).download().name()), clipOf(4));

  // A lock that fails for another reason than another's holding it: no window at all.
  if (!test::runWithoutLocks([&] { EXPECT_THROW(WindowClaim::claimOrHandOver(clipAddress(5)), Error); })) {
    GTEST_SKIP() << "this system cannot make a thread's flock fail";
  }
}

}  // namespace
}  // namespace kf::downloads
