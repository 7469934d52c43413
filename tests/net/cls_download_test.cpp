#include "net/cls_download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <optional>
#include <thread>

#include "pattern_body.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/ui/headless_toolkit.h"
#include "support/http_test_server.h"
#include "support/raw_http_server.h"

namespace kf::net {
namespace {

using Events = std::vector<std::string>;

constexpr int kNoSize = 40502;

struct Failure {
  int number;
  std::string description;
  std::string reason;  // what the user is told, for a DownloadFailed
};

std::optional<Failure> failureOf(const std::function<void()> &call) {
  try {
    call();
  } catch (const DownloadFailed &failed) {
    return Failure{failed.number(), failed.description(), failed.reason()};
  } catch (const Error &error) {
    return Failure{error.number(), error.description(), {}};
  }
  return std::nullopt;
}

class DownloadTest : public testing::Test {
 protected:
  DownloadTest() {
    ui::setToolkit(tk);
    download.whileWaiting = [this] { tk.doEvents(); };
    server.routes.Get(R"(/bytes/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
      response.set_content(test::patternBody(std::stoul(request.matches[1])), "application/octet-stream");
    });
    server.start();
    listenTo(download);
  }

  void listenTo(clsDownload &engine) {
    engine.Statechanged = [this](std::int32_t state) { events.push_back("state " + std::to_string(state)); };
    engine.Startdownloading = [this](std::int32_t size) { events.push_back("size " + std::to_string(size)); };
    engine.Progresschanged = [this](double value, bool &) {
      events.push_back("progress");
      progress.push_back(value);
    };
  }

  std::string bytesUrl(std::size_t size) const {
    return "http://" + server.hostAndPort() + "/bytes/" + std::to_string(size);
  }

  ui::HeadlessToolkit tk;
  test::HttpTestServer server;
  clsDownload download;
  Events events;
  std::vector<double> progress;
};

TEST_F(DownloadTest, AsksForTheSizeThenFetchesTheBodyWithTheCallersUserAgent) {
  const std::string where = server.hostAndPort() + "/bytes/2048?search_query=a+b";
  std::vector<std::size_t> requestsSeenAtDoEvents;
  tk.onDoEvents = [&] { requestsSeenAtDoEvents.push_back(server.requests().size()); };
  // The scheme is optional and its letter case does not matter.
  for (const char *prefix : {"http://", "HTTP://", ""}) {
    SCOPED_TRACE(prefix);
    const std::size_t before = server.requests().size();
    requestsSeenAtDoEvents.clear();
    events.clear();
    EXPECT_EQ(download.Downloadfile(prefix + where, 1024, "Download"), test::patternBody(2048));

    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), before + 2);
    for (std::size_t i = before; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].method, i == before ? "HEAD" : "GET");
      EXPECT_EQ(seen[i].target, "/bytes/2048?search_query=a+b");
      EXPECT_EQ(seen[i].userAgent, "Download");
      EXPECT_EQ(seen[i].cacheControl, "no-cache");
      EXPECT_EQ(seen[i].pragma, "no-cache");
    }
    // Once before connecting, then after each chunk of the loop (and meanwhile, should a wait be long).
    ASSERT_GE(requestsSeenAtDoEvents.size(), 3u);
    EXPECT_EQ(requestsSeenAtDoEvents.front(), before);
    EXPECT_EQ(requestsSeenAtDoEvents.back(), before + 2);
    EXPECT_EQ(events, (Events{"state 1", "state 2", "size 2048", "progress", "progress", "state 0"}));
  }
}

struct Progress {
  std::size_t size;
  std::vector<double> reports;
};

class DownloadProgressTest : public DownloadTest, public testing::WithParamInterface<Progress> {};

TEST_P(DownloadProgressTest, ReportsThePartReceivedBeforeEachChunk) {
  const Progress &expected = GetParam();
  EXPECT_EQ(download.Downloadfile(bytesUrl(expected.size), 1024, "Download"), test::patternBody(expected.size));
  ASSERT_EQ(progress.size(), expected.reports.size());
  for (std::size_t i = 0; i < progress.size(); ++i) EXPECT_NEAR(progress[i], expected.reports[i], 1e-9) << i;
  EXPECT_EQ(events.back(), "state 0");
}

// A body that is an exact multiple of the chunk ends with an empty read, which still reports.
INSTANTIATE_TEST_SUITE_P(Bodies, DownloadProgressTest,
                         testing::Values(Progress{4096, {25, 50, 75, 100}}, Progress{4000, {25.6, 51.2, 76.8}},
                                         Progress{2048, {50, 100}}, Progress{1500, {1024.0 / 1500 * 100}},
                                         Progress{1024, {100}}, Progress{500, {}}));

TEST_F(DownloadTest, ALongBodyArrivesWholeWithProgressRisingToTheEnd) {
  const std::size_t size = 3 * 1024 * 1024 + 7;
  EXPECT_EQ(download.Downloadfile(bytesUrl(size), 1024, "Download"), test::patternBody(size));
  ASSERT_EQ(progress.size(), 3072u);
  EXPECT_NEAR(progress.back(), 3072.0 * 1024 / size * 100, 1e-9);
}

TEST_F(DownloadTest, ACancelOnTheFirstReportGivesTheEmptyTextAndEndsNormally) {
  download.Progresschanged = [this](double value, bool &cancel) {
    events.push_back("progress");
    progress.push_back(value);
    cancel = true;
  };
  EXPECT_EQ(download.Downloadfile(bytesUrl(4096), 1024, "Download"), "");
  EXPECT_EQ(events, (Events{"state 1", "state 2", "size 4096", "progress", "state 0"}));
  EXPECT_EQ(progress, std::vector<double>{25});

  download.Progresschanged = nullptr;
  EXPECT_EQ(download.Downloadfile(bytesUrl(4096), 1024, "Download"), test::patternBody(4096));
}

TEST_F(DownloadTest, BadArgumentsFailBeforeAnyRequest) {
  // No "/" after the host: the address cannot be split into host and path.
  for (const std::string &url : {"http://" + server.hostAndPort(), server.hostAndPort()}) {
    const auto failure = failureOf([&] { download.Downloadfile(url, 1024, "Download"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, errors::kInvalidArgument);
  }
  EXPECT_EQ(events, (Events{"state 1", "state 1"}));
  // A chunk of no bytes would never end the reading.
  const auto failure = failureOf([&] { download.Downloadfile(bytesUrl(10), 0, "Download"); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number, errors::kInvalidArgument);

  EXPECT_TRUE(server.requests().empty());
}

TEST_F(DownloadTest, AnUnreachableServerGivesNoSize) {
  // Nothing listens on the first; the others name no server at all.
  for (const std::string &url : {"127.0.0.1:" + std::to_string(test::unusedPort()) + "/x",
                                 std::string("127.0.0.1:99999/x"), std::string("/x")}) {
    events.clear();
    const auto failure = failureOf([&] { download.Downloadfile(url, 1024, "Download"); });
    ASSERT_TRUE(failure) << url;
    EXPECT_EQ(failure->number, kNoSize);
    EXPECT_EQ(failure->description,
              text::cp1252(u8"Keine Verbindung zum Server oder keine Größenangabe im Response-Header"));
    EXPECT_EQ(failure->reason, "Der Server ist nicht erreichbar.");
    EXPECT_EQ(events, Events{"state 1"});
  }
}

// The HEAD answers of a raw server, each with the body the GET then gets.
struct HeadAnswer {
  std::string name;
  std::string head;  // status line and header lines, each ended by CR LF
  int error;         // 0 for a call that succeeds
  bool getSent;
  std::string told;  // the reason of a DownloadFailed; the body of a call that succeeds
};

std::string headerBlockOf(std::size_t blockSize) {
  // Lines each ended by NUL and one more NUL: 16 + 19 + 18 + 1 bytes around the padding line.
  const std::size_t pad = blockSize - 16 - 19 - 18 - 1 - std::string("X-Pad: ").size() - 1;
  return "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nX-Pad: " + std::string(pad, 'p') + "\r\n";
}

class AnnouncedSizeTest : public testing::TestWithParam<HeadAnswer> {};

TEST_P(AnnouncedSizeTest, TheHeadAnswerDecides) {
  const HeadAnswer &answer = GetParam();
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  test::RawHttpServer server([&](const test::RawRequest &request, test::RawConnection &connection) {
    connection.send(request.method() == "HEAD" ? answer.head + "Connection: close\r\n\r\n"
                                               : test::rawAnswer("0123456789"));
  });
  clsDownload download;
  Events events;
  download.Statechanged = [&](std::int32_t state) { events.push_back("state " + std::to_string(state)); };

  const auto call = [&] { return download.Downloadfile(server.hostAndPort() + "/p", 1024, "Download"); };
  if (answer.error == 0) {
    EXPECT_EQ(call(), answer.told);
    EXPECT_EQ(events, (Events{"state 1", "state 2", "state 0"}));
  } else {
    const auto failure = failureOf([&] { call(); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, answer.error);
    EXPECT_EQ(failure->reason, text::fromUtf8(answer.told));
    EXPECT_EQ(events, Events{"state 1"});
  }
  std::vector<std::string> methods;
  for (const auto &request : server.requests()) methods.push_back(request.method());
  EXPECT_EQ(methods, answer.getSent ? (std::vector<std::string>{"HEAD", "GET"}) : std::vector<std::string>{"HEAD"});
}

const std::string kBody = "0123456789";
const std::string kNoSizeTold = "Die Antwort des Servers nennt keine Größe.";

INSTANTIATE_TEST_SUITE_P(
    Heads, AnnouncedSizeTest,
    testing::Values(HeadAnswer{"Plain", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n", 0, true, kBody},
                    HeadAnswer{"LowerCase", "HTTP/1.1 200 OK\r\ncontent-length: 10\r\n", 0, true, kBody},
                    HeadAnswer{"BlanksInTheDigits", "HTTP/1.1 200 OK\r\nContent-Length:  1 0 \r\n", 0, true, kBody},
                    HeadAnswer{"BlockOf1024", headerBlockOf(1024), 0, true, kBody},
                    // An empty page is announced as such: nothing is read.
                    HeadAnswer{"Zero", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n", 0, true, ""},
                    HeadAnswer{"BlockOf1025", headerBlockOf(1025), kNoSize, true, kNoSizeTold},
                    HeadAnswer{"BlockOf4000", headerBlockOf(4000), kNoSize, true, kNoSizeTold},
                    HeadAnswer{"NotFound", "HTTP/1.1 404 Not Found\r\nContent-Length: 10\r\n", kNoSize, true,
                               "Der Server antwortete mit dem Status 404."},
                    HeadAnswer{"NoContentLength", "HTTP/1.1 200 OK\r\nServer: raw\r\n", kNoSize, true, kNoSizeTold},
                    // The client itself refuses a negative size as no HTTP.
                    HeadAnswer{"Negative", "HTTP/1.1 200 OK\r\nContent-Length: -10\r\n", kNoSize, true,
                               "Die Antwort des Servers war unvollständig oder fehlerhaft."},
                    // The overflow ends the call before the GET is opened.
                    HeadAnswer{"BeyondInt32", "HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n", errors::kOverflow,
                               false, ""}),
    [](const testing::TestParamInfo<HeadAnswer> &instance) { return instance.param.name; });

struct CutOff {
  std::string name;
  std::string getAnswer;
  std::string told = text::cp1252(u8"Die Antwort des Servers war unvollständig oder fehlerhaft.");
};

class CutOffBodyTest : public testing::TestWithParam<CutOff> {};

TEST_P(CutOffBodyTest, FailsTheCall) {
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  const std::string getAnswer = GetParam().getAnswer;
  test::RawHttpServer server([&](const test::RawRequest &request, test::RawConnection &connection) {
    connection.send(request.method() == "HEAD" ? "HTTP/1.1 200 OK\r\nContent-Length: 4096\r\nConnection: close\r\n\r\n"
                                               : getAnswer);
  });
  clsDownload download;
  Events events;
  download.Statechanged = [&](std::int32_t state) { events.push_back("state " + std::to_string(state)); };
  const auto failure = failureOf([&] { download.Downloadfile(server.hostAndPort() + "/p", 1024, "Download"); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number, kNoSize);
  EXPECT_EQ(failure->reason, GetParam().told);
  EXPECT_EQ(events, (Events{"state 1", "state 2"}));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CutOffBodyTest,
    testing::Values(CutOff{"ShorterThanAnnounced",
                           "HTTP/1.1 200 OK\r\nContent-Length: 4096\r\n\r\n" + std::string(3000, 'x')},
                    CutOff{"ChunkedWithoutLastChunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n800\r\n" +
                                                          std::string(2048, 'x') + "\r\n"},
                    CutOff{"BrokenChunkSize", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n400\r\n" +
                                                  std::string(1024, 'x') + "\r\nzz\r\nxx\r\n0\r\n\r\n"},
                    // Without a size of its own the body ends with the connection: the HEAD's size tells.
                    CutOff{"NoLengthShorterThanTheHead", "HTTP/1.1 200 OK\r\n\r\n" + std::string(3000, 'x')},
                    CutOff{"NoAnswer", ""}, CutOff{"NotHttp", "SSH-2.0-OpenSSH\r\n\r\n"}),
    [](const testing::TestParamInfo<CutOff> &instance) { return instance.param.name; });

TEST(DownloadHandles, AFailedCallsGetIsClosedWhenTheNextCallBegins) {
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  std::promise<void> closed;
  test::RawHttpServer server([&](const test::RawRequest &request, test::RawConnection &connection) {
    if (request.method() == "HEAD") {
      const bool sized = request.target() == "/sized";
      connection.send(sized ? "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\n"
                            : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
    } else if (request.target() == "/sized") {
      connection.send(test::rawAnswer("body"));
    } else {
      // Half a body, then wait for the client to let go of the connection.
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n01234");
      connection.waitForClose();
      closed.set_value();
    }
  });
  auto closedFuture = closed.get_future();
  clsDownload download;
  const auto failure = failureOf([&] { download.Downloadfile(server.hostAndPort() + "/unsized", 1024, "Download"); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number, kNoSize);
  EXPECT_NE(closedFuture.wait_for(std::chrono::seconds(0)), std::future_status::ready);

  bool closedBeforeConnecting = false;
  download.Statechanged = [&](std::int32_t state) {
    if (state == 1)
      closedBeforeConnecting = closedFuture.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  };
  EXPECT_EQ(download.Downloadfile(server.hostAndPort() + "/sized", 1024, "Download"), "body");
  EXPECT_TRUE(closedBeforeConnecting);
}

// The server answers the HEAD only once the caller has run its events while waiting for it, and holds
// the body back until the abort, which must close the connection.
TEST(DownloadWaits, TheWindowRunsWhileTheServerIsSilentAndAbortDropsIt) {
  clsDownload download;
  std::atomic<int> pumped{0};
  std::atomic<bool> bodyStarted{false};
  download.whileWaiting = [&] {
    ++pumped;
    if (bodyStarted) download.Abort();
  };
  std::promise<void> closed;
  test::RawHttpServer server([&](const test::RawRequest &request, test::RawConnection &connection) {
    if (request.method() == "HEAD") {
      const int before = pumped;
      for (int i = 0; i < 6000 && pumped < before + 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (pumped >= before + 3) connection.send("HTTP/1.1 200 OK\r\nContent-Length: 2048\r\nConnection: close\r\n\r\n");
      return;
    }
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: 2048\r\n\r\n0123");
    bodyStarted = true;
    connection.waitForClose();
    closed.set_value();
  });
  EXPECT_THROW(download.Downloadfile(server.hostAndPort() + "/p", 1024, "Download"), DownloadAborted);
  EXPECT_EQ(closed.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
}

}  // namespace
}  // namespace kf::net
