// Every request the program makes, met by every fault the bundled site can play, on the headless
// main window: each command comes back within the transfer limits, the only messages are the ones
// the program shows for a failed step, and the program's files stay as they were or come out whole.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <utility>
#include <vector>

#include "platform/base/cp1252.h"
#include "site/faults/faulty_server.h"
#include "support/environment_variable.h"
#include "support/local_site.h"
#include "support/program_folder.h"
#include "support/programs.h"

namespace kf {
namespace {

using site::Fault;
using test::readFile;

enum class Request {
  ResultPage,  // HEAD and GET of result page 2 through the search
  ResultBody,  // only the GET of result page 2: its size was announced
  WatchPage,   // the file link command resolving the video's file address
  Picture,     // the preview picture of a clicked result
  VideoFile,   // the download command, through klipfang-fetch started hidden
};

struct Case {
  Request request;
  Fault fault;
};

const std::vector<std::pair<Request, std::string>> kRequests = {{Request::ResultPage, "ResultPage"},
                                                                {Request::ResultBody, "ResultBody"},
                                                                {Request::WatchPage, "WatchPage"},
                                                                {Request::Picture, "Picture"},
                                                                {Request::VideoFile, "VideoFile"}};
const std::vector<std::pair<Fault, std::string>> kFaults = {
    {Fault::Refuse, "Refuse"},         {Fault::Slow, "Slow"},
    {Fault::CutOff, "CutOff"},         {Fault::NoLength, "NoLength"},
    {Fault::HugeHeader, "HugeHeader"}, {Fault::ServerError, "ServerError"},
    {Fault::Endless, "Endless"},       {Fault::NotAPicture, "NotAPicture"}};

std::string caseName(const Case &c) {
  const auto request = std::ranges::find(kRequests, c.request, &std::pair<Request, std::string>::first);
  const auto fault = std::ranges::find(kFaults, c.fault, &std::pair<Fault, std::string>::first);
  return request->second + "_" + fault->second;
}

// Names the case in test output instead of its bytes.
void PrintTo(const Case &c, std::ostream *out) {
  *out << caseName(c);
}

std::vector<Case> everyCase() {
  std::vector<Case> cases;
  for (const auto &request : kRequests) {
    for (const auto &fault : kFaults) cases.push_back({request.first, fault.first});
  }
  return cases;
}

// What a faulted answer leaves the program with.
enum class Outcome {
  Whole,      // the real answer, whole
  Lost,       // nothing usable: the step fails
  ErrorPage,  // a whole answer, but an error page in place of what was asked for
};

Outcome expectedOutcome(Request request, Fault fault) {
  switch (fault) {
    case Fault::Slow:
    case Fault::Trickle:
      return Outcome::Whole;
    case Fault::NoLength:
    case Fault::HugeHeader:
      // A result page is fetched only after a HEAD answer named its size in a header block of at
      // most 1024 characters.
      return request == Request::ResultPage ? Outcome::Lost : Outcome::Whole;
    case Fault::ServerError:
      // The size request and the download want a success; the page fetches take any status's body.
      return request == Request::ResultPage || request == Request::VideoFile ? Outcome::Lost : Outcome::ErrorPage;
    case Fault::NotAPicture:
      return Outcome::ErrorPage;
    case Fault::Refuse:
    case Fault::CutOff:
    case Fault::CutOffEveryOther:
    case Fault::Endless:
      break;
  }
  return Outcome::Lost;
}

const std::string kOldPage1 = "alte Seite 1\r\n</html>\r\n";
const std::string kOldPage2 = "alte Seite 2\r\n</html>\r\n";
const std::string kPage1 = "/results?search_query=klipfang&search=Search";
const std::string kPage2 =
    "/results?search_type=search_videos&search_query=klipfang&search_sort=&search_category=0&page=2";

class FaultSuite : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    ui::setToolkit(tk);
    // A picture transfer hangs the wait for its end no longer than this; its own limit is a minute.
    tk.waitLimitSeconds = 30;
    test::writeFile(folder.file("result.txt"), kOldPage1);
    test::writeFile(folder.file("result2.txt"), kOldPage2);
    frm = folder.start(tk, test::localSiteAddress(port));
  }

  ui::ListView &results() { return frm->controls.lstResult; }

  void search() {
    frm->controls.txtSearch.setText("klipfang");
    frm->controls.cmdSearch.click();
    EXPECT_TRUE(frm->controls.cmdSearch.visible());
    EXPECT_FALSE(frm->controls.cmdAbortS.visible());
    EXPECT_EQ(frm->controls.prgDL.value(), frm->controls.prgDL.max());
  }

  std::string host() const { return "www.localhost:" + std::to_string(port); }
  std::string realAnswer(const std::string &target, const std::string &host) const {
    return site.site().answer({"GET", target, host}).body;
  }
  // What the faulted site sends whole for `target`, fetched by a plain client.
  std::string faultedAnswer(const std::string &target) const {
    httplib::Client client("127.0.0.1", port);
    const auto answer = client.Get(target);
    return answer ? answer->body : std::string("no answer");
  }

  void resultPages(Request request, Outcome outcome) {
    site.setFault({request == Request::ResultBody ? "GET" : "", "&page=2", 0}, GetParam().fault);
    search();
    EXPECT_EQ(results().count(), outcome == Outcome::Whole ? 40 : 20) << "page 1 stays listed";
    EXPECT_EQ(readFile(folder.file("result.txt")), realAnswer(kPage1, host()));
    const std::string page2 = outcome == Outcome::Whole       ? realAnswer(kPage2, host())
                              : outcome == Outcome::ErrorPage ? faultedAnswer(kPage2)
                                                              : kOldPage2;
    EXPECT_EQ(readFile(folder.file("result2.txt")), page2);
    EXPECT_TRUE(tk.boxes.shown().empty());
  }

  void watchPage(Outcome outcome) {
    search();
    results().select(1);
    frm->controls.cmdDll.click();
    const std::string resolved = tk.clipboardText();
    ASSERT_NE(resolved.find("/get_video.php?video_id="), std::string::npos);

    site.setFault({"", "/watch", 0}, GetParam().fault);
    tk.setClipboardText("vorher");
    frm->controls.fraCMD.setVisible(true);
    frm->controls.cmdDll.click();
    EXPECT_EQ(tk.clipboardText(), outcome == Outcome::Whole ? resolved : "vorher");
    EXPECT_FALSE(frm->controls.fraCMD.visible());
    EXPECT_EQ(tk.mousePointer(), ui::MousePointer::Default);
    // A useless address is no success: the user is told there is none.
    EXPECT_EQ(tk.boxes.shown().size(), outcome == Outcome::Whole ? 0U : 1U);
  }

  void picture(Outcome outcome) {
    search();
    site.setFault({"", "/vi/", 0}, GetParam().fault);
    const std::string id = results().subItemText(1, 2);
    const std::string target = "/vi/" + id + "/" + id + ".jpg";
    const std::string file = folder.file("dat/pics/" + id + ".jpg");
    results().clickItem(1);

    EXPECT_FALSE(frm->controls.labWait.visible());
    EXPECT_EQ(frm->controls.window.mousePointer(), ui::MousePointer::Default);
    EXPECT_EQ(frm->controls.imgPrev.picture(), outcome == Outcome::Whole ? file : "");
    if (outcome == Outcome::Lost) {
      EXPECT_FALSE(std::filesystem::exists(file));
    } else {
      EXPECT_EQ(readFile(file), outcome == Outcome::Whole ? realAnswer(target, host()) : faultedAnswer(target));
      picturesWritten.insert("app/dat/pics/" + id + ".jpg");
    }
    if (outcome == Outcome::ErrorPage) {
      ASSERT_EQ(tk.boxes.shown().size(), 1U);
      EXPECT_EQ(tk.boxes.shown()[0].text, text::cp1252(u8"Ungültiges Bild"));
      EXPECT_EQ(tk.boxes.shown()[0].title, "Klipfang");
    } else {
      EXPECT_TRUE(tk.boxes.shown().empty());
    }
  }

  // The listed video with the smallest clip, so that a trickled download ends soon.
  int rowOfSmallestClip() {
    int best = 0;
    std::size_t bestSize = 0;
    for (int row = 1; row <= results().count(); ++row) {
      const std::size_t size = clipOf(results().subItemText(row, 2)).size();
      if (best == 0 || size < bestSize) best = row, bestSize = size;
    }
    return best;
  }
  std::string clipOf(const std::string &id) const {
    const site::Video &video = *site.site().catalogue().find(id);
    return realAnswer("/get_video.php?video_id=" + id + "&t=" + site.site().token(video), "localhost");
  }

  void videoFile(Outcome outcome) {
    const test::TempDir fetchDir;
    const std::string downloads = fetchDir.file("Downloads");
    const std::string notification = fetchDir.file("notification");
    std::filesystem::create_directory(downloads);
    test::writeRecordingScript(fetchDir.file("notify-send"), notification);
    const test::EnvironmentVariable downloadFolder("XDG_DOWNLOAD_DIR", downloads);
    const test::EnvironmentVariable path("PATH", fetchDir.path() + ":/usr/bin:/bin");
    // The download's own cap is 4 GiB; a file size limit of a few MiB (a nearly full disk) stands
    // in for it, so an endless answer ends in a moment. The limit is to fail writes, not to kill.
    // klipfang-fetch beside the program, as the build lays it out.
    const test::FetchLauncher launcher(KF_FETCH_PROGRAM, folder.path(), fetchDir.path(),
                                       "trap '' XFSZ\nulimit -f 8192\n");

    search();
    const int row = rowOfSmallestClip();
    results().select(row);
    site.setFault({"", "/get_video.php", 0}, GetParam().fault);
    frm->controls.cmdDL.click();
    EXPECT_EQ(tk.mousePointer(), ui::MousePointer::Default);
    EXPECT_TRUE(tk.boxes.shown().empty());

    ASSERT_TRUE(test::eventually([&] { return std::filesystem::exists(notification); }));
    const std::string told = readFile(notification);
    const std::vector<std::string> saved = test::filesIn(downloads);
    if (outcome == Outcome::Lost) {
      EXPECT_NE(told.find("Download fehlgeschlagen"), std::string::npos) << told;
      if (GetParam().fault == Fault::Endless) {
        EXPECT_NE(told.find("Schreiben nicht m"), std::string::npos) << "the size limit ended it: " << told;
      }
      // Only the bytes of a body cut off stay, for the downloads window to go on from.
      for (const std::string &name : saved) {
        EXPECT_TRUE(GetParam().fault == Fault::CutOff && name.ends_with(".part")) << name;
      }
    } else {
      EXPECT_NE(told.find("Download abgeschlossen"), std::string::npos) << told;
      ASSERT_EQ(saved.size(), 1U);
      EXPECT_EQ(readFile(downloads + "/" + saved[0]),
                outcome == Outcome::Whole ? clipOf(results().subItemText(row, 2)) : faultedAnswer("/get_video.php"));
    }
  }

  // Marks the first result, closes the window and checks what the close steps saved.
  void markAndClose() {
    results().select(1);
    frm->controls.cmdMark.click();
    std::string favourite = results().subItemText(1, 1);
    for (int field = 2; field <= 5; ++field) favourite += "|" + results().subItemText(1, field);
    ASSERT_TRUE(test::closeMainWindow(*frm));
    EXPECT_EQ(readFile(folder.file("sets.cfg")), test::kDeliveredSettings);
    EXPECT_EQ(readFile(folder.file("dat/fav.kf")), "3" + test::kDeliveredFavourites.substr(1) + favourite + "\r\n");
  }

  ui::HeadlessToolkit tk;
  site::FaultyServer site;
  int port = site.start();
  test::ProgramFolder folder;
  std::unique_ptr<windows::FrmMain> frm;
  std::set<std::string> picturesWritten;
};

TEST_P(FaultSuite, CommandEndsAndFilesStayWhole) {
  const auto [request, fault] = GetParam();
  const Outcome outcome = expectedOutcome(request, fault);
  switch (request) {
    case Request::ResultPage:
    case Request::ResultBody:
      resultPages(request, outcome);
      break;
    case Request::WatchPage:
      watchPage(outcome);
      break;
    case Request::Picture:
      picture(outcome);
      break;
    case Request::VideoFile:
      videoFile(outcome);
      break;
  }
  markAndClose();

  std::set<std::string> expected{"app/",
                                 "app/dat/",
                                 "app/dat/fav.kf",
                                 "app/dat/klipfang.lock",
                                 "app/dat/suchen.kf",
                                 "app/result.txt",
                                 "app/result2.txt",
                                 "app/sets.cfg",
                                 "app/vid.kf"};
  if (request == Request::VideoFile) expected.insert("app/klipfang-fetch");
  if (!picturesWritten.empty()) expected.insert("app/dat/pics/");
  expected.insert(picturesWritten.begin(), picturesWritten.end());
  EXPECT_EQ(folder.tree(), expected) << "no temporary file or stray name is left";
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultSuite, testing::ValuesIn(everyCase()),
                         [](const testing::TestParamInfo<Case> &instance) { return caseName(instance.param); });

}  // namespace
}  // namespace kf
