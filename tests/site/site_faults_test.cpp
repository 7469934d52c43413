// Each fault the site can be told to commit, as a client meets it on the wire.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

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

}  // namespace
}  // namespace kf::site::test
