// Each fault the site can be told to commit, as a client meets it on the wire, and the clients that
// misbehave towards it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "site_fixture.h"

namespace kf::site::test {
namespace {

class SiteFaults : public SiteTest {
 protected:
  static std::string page() { return pageOne("katze"); }
  static Answer normal() { return get(page()); }
};

TEST_F(SiteFaults, RefuseClosesWithoutAWord) {
  server_->setFault({"GET", "katze"}, Fault::Refuse);
  Answer answer = get(page());
  EXPECT_TRUE(answer.connected && answer.complete);
  EXPECT_EQ(answer.raw, "");
  EXPECT_EQ(get(pageOne("musik")).status, 200);  // only the matching requests
}

TEST_F(SiteFaults, CutOffAnnouncesMoreThanItSends) {
  const std::string full = normal().body;
  server_->setFault({"", "katze"}, Fault::CutOff);
  Answer answer = get(page());
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.contentLength(), static_cast<long long>(full.size()));
  EXPECT_TRUE(answer.complete);
  EXPECT_LT(answer.body.size(), full.size());
  EXPECT_EQ(answer.body, full.substr(0, answer.body.size()));
  Answer head = fetch(port_, "HEAD", page(), fullHost());
  EXPECT_TRUE(head.complete);
  EXPECT_FALSE(head.headComplete);
}

TEST_F(SiteFaults, NoLengthLeavesOutContentLengthAndEndsTheBodyWithTheConnection) {
  const std::string full = normal().body;
  server_->setFault({"", "katze"}, Fault::NoLength);
  Answer head = fetch(port_, "HEAD", page(), fullHost());
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.contentLength(), -1);
  Answer answer = get(page());
  EXPECT_EQ(answer.contentLength(), -1);
  EXPECT_TRUE(answer.complete);
  EXPECT_EQ(answer.body, full);
}

TEST_F(SiteFaults, HugeHeaderBlockPrecedesTheRealAnswer) {
  const std::string full = normal().body;
  server_->setFault({"GET", "katze"}, Fault::HugeHeader);
  Answer answer = get(page());
  EXPECT_GT(answer.head.size(), 1024u);
  EXPECT_EQ(answer.contentLength(), static_cast<long long>(full.size()));
  EXPECT_EQ(answer.body, full);
}

TEST_F(SiteFaults, ServerErrorAndNotAPicture) {
  server_->setFault({"GET", "katze"}, Fault::ServerError);
  Answer error = get(page());
  EXPECT_EQ(error.status, 500);
  EXPECT_EQ(error.contentLength(), static_cast<long long>(error.body.size()));

  const Video &video = catalogue().videos().front();
  const std::string picture = "/vi/" + video.id + "/" + video.id + ".jpg";
  server_->setFault({"GET", picture}, Fault::NotAPicture);
  Answer notPicture = get(picture);
  EXPECT_EQ(notPicture.status, 200);
  EXPECT_EQ(notPicture.headers["content-type"], "text/html; charset=utf-8");
  EXPECT_EQ(notPicture.body.rfind("<!DOCTYPE", 0), 0u);
}

TEST_F(SiteFaults, RulesHitTheChosenMethodAndCountThenReservedWordsWork) {
  server_->setFault({"GET", "katze", 1}, Fault::ServerError);
  EXPECT_EQ(fetch(port_, "HEAD", page(), fullHost()).status, 200);  // another method
  EXPECT_EQ(get(page()).status, 500);
  EXPECT_EQ(get(page()).status, 200);  // used up
  server_->setFault({"", "", 0}, Fault::ServerError);
  EXPECT_EQ(get("/").status, 500);
  server_->clearFaults();
  EXPECT_EQ(get("/").status, 200);

  EXPECT_EQ(get(pageOne("katze%20fehler-500")).status, 500);
  Answer slow = get(pageOne("katze%20fehler-langsam"));
  // The reserved word is not searched for: the same cats as without it.
  EXPECT_EQ(slow.body.substr(slow.body.find("<div id=\"results\">"), 2000),
            normal().body.substr(normal().body.find("<div id=\"results\">"), 2000));
}

TEST_F(SiteFaults, SlowAnswerTricklesTheRealBodyUntilTheSiteStops) {
  // A site of its own, since this test stops it halfway through the answer.
  FaultyServer site;
  const int port = site.start();
  const std::string full = fetch(port, "GET", page(), "localhost").body;
  site.setFault({"GET", "katze"}, Fault::Slow);
  Answer whole = fetch(port, "GET", page(), "localhost");
  EXPECT_EQ(whole.body, full);

  int fd = -1;
  Answer start = fetchStart(port, page(), 12, fd);
  ASSERT_EQ(start.raw.rfind("HTTP/1.1 200", 0), 0u);
  site.stop();  // returns although a slow answer is under way
  char rest[65536];
  size_t got = 0;
  for (ssize_t received; (received = ::recv(fd, rest, sizeof rest, 0)) > 0;) got += static_cast<size_t>(received);
  ::close(fd);
  EXPECT_LT(start.raw.size() + got, full.size());
}

TEST_F(SiteFaults, TrickleSendsTheHeadAtOnceAndTheBodyAByteAtATime) {
  EXPECT_EQ(reservedFault(pageOne("katze%20fehler-troepfeln")), Fault::Trickle);
  const std::string full = fetch(port_, "GET", page(), "localhost").body;
  server_->setFault({"GET", "katze"}, Fault::Trickle);
  int fd = -1;
  std::string raw = fetchStart(port_, page(), 1, fd).raw;
  const auto bodyStart = [&raw] { return raw.find("\r\n\r\n") + 4; };
  for (char byte = 0; (bodyStart() == 3 || raw.size() < bodyStart() + 2) && ::recv(fd, &byte, 1, 0) == 1;) raw += byte;
  ::close(fd);
  EXPECT_EQ(raw.rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_NE(raw.find("Content-Length: " + std::to_string(full.size()) + "\r\n"), std::string::npos);
  EXPECT_EQ(raw.substr(bodyStart()), full.substr(0, 2));
}

TEST_F(SiteFaults, EndlessBodyRunsPastAnyCapAndStopsWithItsClient) {
  server_->setFault({"GET", "/endless"}, Fault::Endless);
  Answer answer = fetch(port_, "GET", "/endless", fullHost(), {}, 4 * 1024 * 1024);
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.contentLength(), -1);
  EXPECT_FALSE(answer.complete);
  EXPECT_EQ(answer.raw.size(), 4u * 1024 * 1024);
  // More clients leaving endless answers than the site has workers: each answer must end with
  // its client, or the site would have no worker left for the page below.
  for (int i = 0; i < 40; ++i) fetch(port_, "GET", "/endless", fullHost(), {}, 64 * 1024);
  EXPECT_EQ(get(page()).status, 200);
}

TEST(SiteShutdown, StopEndsAnEndlessAnswerInProgress) {
  FaultyServer site;
  const int port = site.start();
  site.setFault({"GET", "/"}, Fault::Endless);
  int fd = -1;
  Answer start = fetchStart(port, "/", 64 * 1024, fd);
  EXPECT_EQ(start.raw.size(), 64u * 1024);
  std::thread stopper([&] { site.stop(); });
  char sink[65536];
  while (::recv(fd, sink, sizeof sink, 0) > 0) {
  }
  stopper.join();
  ::close(fd);
}

// A connection to the site on 127.0.0.1 from the loopback address `from`; a read waits 3 s at most.
int connectFrom(const char *from, int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const timeval wait{3, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  sockaddr_in local{AF_INET, 0, {}, {}};
  sockaddr_in remote{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  ::inet_pton(AF_INET, from, &local.sin_addr);
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local), 0);
  EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&remote), sizeof remote), 0);
  return fd;
}

// Whether the site has closed the connection (what it sent before is read and dropped).
bool closedBySite(int fd) {
  char sink[4096];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, 0) > 0) {
    if (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) <= 0) return true;
  }
  return false;
}

// Clients that send their heads a byte at a time hold no worker and no more connections than their
// share, and end at the deadline for a head; an idle kept-alive connection ends at its own.
TEST(SiteSlowClients, HoldNoWorkerTakeTheirShareOnlyAndEndAtTheirDeadline) {
  using namespace std::chrono_literals;
  Server site;
  site.setConnectionLimits({.headTime = 1500ms, .idleTime = 500ms, .perAddress = 48});
  const int port = site.start();
  std::vector<int> slow;
  for (int i = 0; i < 49; ++i) {
    slow.push_back(connectFrom("127.0.0.2", port));
    ::send(slow.back(), "GET / HTTP/1.1\r\nHo", 19, MSG_NOSIGNAL);
  }
  const auto started = std::chrono::steady_clock::now();
  int kept = connectFrom("127.0.0.1", port);
  const std::string request = "GET /results?search_query=katze&search=Search HTTP/1.1\r\nHost: localhost\r\n\r\n";
  ::send(kept, request.data(), request.size(), MSG_NOSIGNAL);
  char answer[16];
  EXPECT_EQ(::recv(kept, answer, sizeof answer, MSG_WAITALL), 16);
  EXPECT_EQ(std::string(answer, 12), "HTTP/1.1 200");
  const auto answered = std::chrono::steady_clock::now() - started;
  EXPECT_LT(answered, 1500ms) << "the page came only after the slow clients' deadline";
  // Over its share, the address's last connection was closed at once.
  for (auto until = started + 1000ms; !closedBySite(slow.back()) && std::chrono::steady_clock::now() < until;)
    std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(closedBySite(slow.back()));
  ::close(slow.back());
  slow.pop_back();

  // The slow ones go on a byte at a time until the site ends them, the idle one ends alone.
  std::size_t open = slow.size();
  bool keptEnded = false;
  while ((open > 0 || !keptEnded) && std::chrono::steady_clock::now() - started < 3s) {
    keptEnded = keptEnded || closedBySite(kept);
    open = 0;
    for (const int fd : slow) open += !closedBySite(fd) && ::send(fd, "s", 1, MSG_NOSIGNAL) == 1;
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(open, 0U);
  EXPECT_TRUE(keptEnded);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 1400ms) << "not one of them ended before its deadline";
  for (const int fd : slow) ::close(fd);
  ::close(kept);
  std::cout << "page answered beside 48 slow clients after "
            << std::chrono::duration_cast<std::chrono::milliseconds>(answered).count() << " ms\n";
}

}  // namespace
}  // namespace kf::site::test
