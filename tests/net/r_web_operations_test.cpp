#include "net/r_web_operations.h"

#include <gtest/gtest.h>

#include "pattern_body.h"
#include "platform/ui/headless_toolkit.h"
#include "support/http_test_server.h"
#include "support/raw_http_server.h"

namespace kf::net {
namespace {

class PageFetchTest : public testing::Test {
 protected:
  PageFetchTest() {
    ui::setToolkit(tk);
    server.routes.Get(R"(/bytes/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
      response.set_content(test::patternBody(std::stoul(request.matches[1])), "text/html");
    });
    server.routes.Get("/missing", [](const httplib::Request &, httplib::Response &response) {
      response.status = 404;
      response.set_content("<html>nicht da</html>", "text/html");
    });
    // No length announced: the body comes in chunks of the transfer encoding.
    server.routes.Get("/chunked", [](const httplib::Request &, httplib::Response &response) {
      response.set_chunked_content_provider("text/html", [](std::size_t offset, httplib::DataSink &sink) {
        if (offset >= 5000) {
          sink.done();
        } else {
          const std::string piece = test::patternBody(5000).substr(offset, 700);
          sink.write(piece.data(), piece.size());
        }
        return true;
      });
    });
    server.start();
  }

  ui::HeadlessToolkit tk;
  test::HttpTestServer server;
};

TEST_F(PageFetchTest, ReturnsTheWholeBodyByteForByte) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{1500}, std::size_t{2048}, std::size_t{3 << 20}}) {
    EXPECT_EQ(rGetUrlSource("http://" + server.hostAndPort() + "/bytes/" + std::to_string(size)),
              test::patternBody(size))
        << size;
  }
  EXPECT_EQ(rGetUrlSource("http://" + server.hostAndPort() + "/chunked"), test::patternBody(5000));
  // The body of an error page is a body like any other.
  EXPECT_EQ(rGetUrlSource("http://" + server.hostAndPort() + "/missing"), "<html>nicht da</html>");
}

TEST_F(PageFetchTest, PutsTheSchemeInFrontOnlyWhenItIsMissing) {
  const std::string where = server.hostAndPort() + "/bytes/10";
  EXPECT_EQ(rGetUrlSource(where), test::patternBody(10));
  EXPECT_EQ(rGetUrlSource("HTTP://" + where), test::patternBody(10));
  // Another scheme gets "http://" in front all the same, which names no usable host.
  EXPECT_EQ(rGetUrlSource("ftp://" + where), "");
  const auto seen = server.requests();
  ASSERT_EQ(seen.size(), 2u);
  for (const auto &request : seen) {
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/bytes/10");
    EXPECT_EQ(request.userAgent, "VBURLSource");
  }
}

TEST_F(PageFetchTest, LeavesPointerAndEventsToTheCaller) {
  rGetUrlSource(server.hostAndPort() + "/bytes/10");
  EXPECT_TRUE(tk.pointerHistory().empty());
  EXPECT_EQ(tk.doEventsCount(), 0);
}

TEST(PageFetchFailures, AnswerTheEmptyText) {
  EXPECT_EQ(rGetUrlSource("127.0.0.1:" + std::to_string(test::unusedPort()) + "/watch?v=x"), "");
  EXPECT_EQ(rGetUrlSource(""), "");
  test::RawHttpServer server([](const test::RawRequest &request, test::RawConnection &connection) {
    if (request.target() == "/short") connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nnur ein Teil");
    if (request.target() == "/chunks")
      connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nTeil1\r\n5\r\nTeil2");
    // "/silent" is closed without a word.
  });
  for (const char *path : {"/short", "/chunks", "/silent"}) {
    EXPECT_EQ(rGetUrlSource(server.hostAndPort() + path), "") << path;
  }
}

}  // namespace
}  // namespace kf::net
