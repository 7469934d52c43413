// What both fetchers get from the HTTP client: request lines that are always valid, the proxy each
// one uses, and the limits that keep a bad server from hanging or flooding the program.
#include "platform/http/http_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <optional>

#include "net/cls_download.h"
#include "net/r_web_operations.h"
#include "platform/base/error.h"
#include "platform/http/request_address.h"
#include "platform/ui/headless_toolkit.h"
#include "support/environment_variable.h"
#include "support/full_listener.h"
#include "support/http_test_server.h"
#include "support/raw_http_server.h"
#include "support/recording_proxy.h"

namespace kf::net {
namespace {

constexpr int kNoSize = 40502;

// The number of the kf::Error a call raises, 0 when it raises none.
int errorOf(const std::function<void()> &call) {
  try {
    call();
  } catch (const Error &error) {
    return error.number();
  }
  return 0;
}

TEST(RequestAddress, HostsMayCarryAPort) {
  for (const char *good :
       {"localhost", "www.localhost:8480", "127.0.0.1:1", "127.0.0.1:65535", "[::1]:8080", "[::1]"}) {
    EXPECT_TRUE(http::isHostAndPort(good)) << good;
  }
  for (const char *bad : {"", ":80", "host:", "host:0", "host:65536", "host:8o", "host:-1", "ho st", "host/x"}) {
    EXPECT_FALSE(http::isHostAndPort(bad)) << bad;
  }
  EXPECT_EQ(http::requestUrl("Http://host/p"), "http://host/p");
  EXPECT_EQ(http::requestUrl("HTTP://host:81"), "http://host:81/");
  EXPECT_EQ(http::requestUrl("http://host?q=1"), "http://host/?q=1");
  EXPECT_EQ(http::requestUrl("https://host/p"), std::nullopt);
  EXPECT_EQ(http::requestUrl("host/p"), std::nullopt);
}

TEST(RequestAddress, ForbiddenCharactersArePercentEncodedOnTheWire) {
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  test::RawHttpServer server([](const test::RawRequest &request, test::RawConnection &connection) {
    connection.send(request.method() == "HEAD" ? "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\n"
                                               : test::rawAnswer("ok"));
  });
  const std::string path = "/a b/\xFC\t?q=x y&p=%41%zz%&r=%4&s=C#\"<>{}|\\^`";
  const std::string onTheWire = "/a%20b/%FC%09?q=x%20y&p=%41%25zz%25&r=%254&s=C%23%22%3C%3E%7B%7D%7C%5C%5E%60";
  EXPECT_EQ(rGetUrlSource(server.hostAndPort() + path), "ok");
  clsDownload download;
  EXPECT_EQ(download.Downloadfile(server.hostAndPort() + path, 1024, "Download"), "ok");
  const auto seen = server.requests();
  ASSERT_EQ(seen.size(), 3u);
  for (const auto &request : seen) EXPECT_EQ(request.target(), onTheWire) << request.method();
}

TEST(ProxyUse, TheDownloadEngineTakesTheSystemProxyThePageFetchGoesDirect) {
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  test::HttpTestServer server;
  server.routes.Get("/page", [](const httplib::Request &, httplib::Response &response) {
    response.set_content("seite", "text/html");
  });
  server.start();
  test::RecordingProxy proxy;
  const test::EnvironmentVariable httpProxy("http_proxy", proxy.address());
  const test::EnvironmentVariable noProxy("no_proxy", std::nullopt);
  const test::EnvironmentVariable noProxyUpper("NO_PROXY", std::nullopt);
  const std::string page = "http://" + server.hostAndPort() + "/page";

  clsDownload download;
  EXPECT_EQ(download.Downloadfile(page, 1024, "Download"), "seite");
  auto passed = proxy.requests();
  ASSERT_EQ(passed.size(), 2u);
  EXPECT_EQ(passed[0].requestLine(), "HEAD " + page + " HTTP/1.1");
  EXPECT_EQ(passed[1].requestLine(), "GET " + page + " HTTP/1.1");
  EXPECT_EQ(passed[1].header("User-Agent"), "Download");

  EXPECT_EQ(rGetUrlSource(page), "seite");
  EXPECT_EQ(proxy.requests().size(), 2u);
  const auto seen = server.requests();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].userAgent, "VBURLSource");
}

// Limits short enough for a test; the program's are the defaults.
http::Limits shortLimits() {
  http::Limits limits;
  limits.connectTimeout = std::chrono::milliseconds(300);
  limits.lowSpeedTime = std::chrono::seconds(1);
  limits.maxBodyBytes = 1000;
  limits.maxRedirects = 3;
  return limits;
}

class TransferLimits : public testing::Test {
 protected:
  // Both fetchers on the same address: the page fetch answers the empty text, the engine fails, and
  // the client says why. The three wait out their limits side by side, so a silent server costs the
  // suite one limit, not three.
  static void expectBothFail(const std::string &address, http::Failure why) {
    auto source = std::async(std::launch::async, [&] { return rGetUrlSource(address, shortLimits()); });
    auto engine = std::async(std::launch::async, [&] {
      clsDownload download(shortLimits());
      return errorOf([&] { download.Downloadfile(address, 1024, "Download"); });
    });
    try {
      rFetchUrl(address, shortLimits(), {});
      ADD_FAILURE() << address;
    } catch (const http::TransferFailed &failed) {
      EXPECT_EQ(failed.failure, why) << address;
    }
    EXPECT_EQ(source.get(), "") << address;
    EXPECT_EQ(engine.get(), kNoSize) << address;
  }
};

TEST_F(TransferLimits, AServerThatNeverAcceptsTimesOut) {
  const test::FullListener listener;
  expectBothFail(listener.hostAndPort() + "/page", http::Failure::TimedOut);
}

TEST_F(TransferLimits, AServerThatFallsSilentIsLeft) {
  test::RawHttpServer server([](const test::RawRequest &request, test::RawConnection &connection) {
    if (request.target() == "/mute") {
      connection.stall();
    } else if (request.method() == "HEAD") {
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: 500\r\nConnection: close\r\n\r\n");
    } else {
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\nx");
      connection.stall();
    }
  });
  auto page =
      std::async(std::launch::async, [&] { expectBothFail(server.hostAndPort() + "/page", http::Failure::TimedOut); });
  expectBothFail(server.hostAndPort() + "/mute", http::Failure::TimedOut);
  page.get();
}

TEST_F(TransferLimits, ABodyOrHeadBeyondTheCapIsRefused) {
  test::RawHttpServer server([](const test::RawRequest &request, test::RawConnection &connection) {
    const std::size_t size = request.target() == "/fits" ? 1000 : 1001;
    if (request.method() == "HEAD") {
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\nConnection: close\r\n\r\n");
    } else if (request.target() == "/endless-headers") {
      connection.send("HTTP/1.1 200 OK\r\n");
      while (connection.send("X-Filler: " + std::string(1000, 'f') + "\r\n")) {
      }
    } else if (request.target() == "/chunked") {
      // No size announced: the cap has to hold while the body arrives.
      connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3e9\r\n" + std::string(1001, 'x') +
                      "\r\n0\r\n\r\n");
    } else {
      connection.send(test::rawAnswer(std::string(size, 'x')));
    }
  });
  EXPECT_EQ(rGetUrlSource(server.hostAndPort() + "/fits", shortLimits()), std::string(1000, 'x'));
  clsDownload download(shortLimits());
  EXPECT_EQ(download.Downloadfile(server.hostAndPort() + "/fits", 1024, "Download"), std::string(1000, 'x'));
  for (const char *path : {"/announced", "/chunked", "/endless-headers"}) {
    expectBothFail(server.hostAndPort() + path, http::Failure::TooLarge);
  }
}

TEST_F(TransferLimits, RedirectsAreFollowedAFewTimesAndOnlyToHttp) {
  test::HttpTestServer server;
  server.routes.Get("/page", [](const httplib::Request &, httplib::Response &response) {
    response.set_content("ziel", "text/html");
  });
  server.routes.Get(R"(/hop/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
    const int left = std::stoi(request.matches[1]);
    response.set_redirect(left == 0 ? "/page" : "/hop/" + std::to_string(left - 1));
  });
  server.routes.Get("/file", [](const httplib::Request &, httplib::Response &response) {
    response.set_redirect("file:///etc/passwd");
  });
  server.routes.Get("/tls", [&server](const httplib::Request &, httplib::Response &response) {
    response.set_redirect("https://" + server.hostAndPort() + "/page");
  });
  server.start();
  const std::string root = server.hostAndPort();
  EXPECT_EQ(rGetUrlSource(root + "/hop/2", shortLimits()), "ziel");
  clsDownload download(shortLimits());
  EXPECT_EQ(download.Downloadfile(root + "/hop/2", 1024, "Download"), "ziel");
  for (const char *path : {"/hop/3", "/file", "/tls"}) expectBothFail(root + path, http::Failure::CutOff);
}

}  // namespace
}  // namespace kf::net
