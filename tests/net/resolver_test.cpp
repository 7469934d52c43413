// The file address resolver against the bundled site and against crafted watch pages.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "net/r_general.h"
#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/ui/headless_toolkit.h"
#include "site/faults/faulty_server.h"
#include "support/http_test_server.h"
#include "support/local_site.h"
#include "support/programs.h"

namespace {

// Why rGetVideoFileUrl found no file address; empty when it found one.
std::string whyNot(const std::function<void()> &resolve) {
  try {
    resolve();
  } catch (const kf::Error &error) {
    EXPECT_EQ(error.number(), kf::net::kNoVideoFileUrl);
    return error.description();
  }
  return {};
}

class ResolverTest : public ::testing::Test {
 protected:
  void SetUp() override { kf::ui::setToolkit(tk); }
  kf::ui::HeadlessToolkit tk;
};

TEST_F(ResolverTest, BundledSiteWatchPageGivesTheFileRequestTheSiteAnswers) {
  kf::site::FaultyServer server;
  const kf::net::SiteAddress site = kf::test::localSiteAddress(server.start());
  const kf::site::Video &video = server.site().catalogue().videos().at(7);
  const std::string token = server.site().token(video);

  const std::string url = kf::net::rGetVideoFileUrl(site.root + "/watch?v=" + video.id, site);

  // The player's query stops before "&sk", the first parameter beginning with "s".
  EXPECT_EQ(url, site.rootBare + "/get_video.php?video_id=" + video.id + "&t=" + token +
                     "&l=" + std::to_string(video.seconds));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1U);
  EXPECT_EQ(requests[0].target, "/watch?v=" + video.id);

  const auto answer = server.site().answer({"GET", url.substr(site.rootBare.size()), "localhost"});
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.contentType, "video/webm");

  server.setFault({"GET", "/watch", 0}, kf::site::Fault::ServerError);
  EXPECT_EQ(
      whyNot([&] { kf::net::rGetVideoFileUrl(site.root + "/watch?v=" + video.id, site); }),
      kf::text::cp1252(u8"Die Antwort des Servers (Status 500) enthält keinen Videoplayer mit der Adresse der Datei."));
}

struct CraftedPage {
  std::string name;
  std::string page;
  std::string query;  // what follows "/get_video.php?"
};

class CraftedPageTest : public ResolverTest, public ::testing::WithParamInterface<CraftedPage> {};

TEST_P(CraftedPageTest, CutsTheQuery) {
  kf::test::HttpTestServer crafted;
  crafted.routes.Get("/watch", [](const httplib::Request &, httplib::Response &response) {
    response.set_content(GetParam().page, "text/html");
  });
  crafted.start();
  const kf::net::SiteAddress site = kf::test::localSiteAddress(crafted.port());

  const std::string &query = GetParam().query;
  const std::string why = whyNot([&] {
    EXPECT_EQ(kf::net::rGetVideoFileUrl(site.root + "/watch?v=abc", site), site.rootBare + "/get_video.php?" + query);
  });
  // A bare file request would fetch nothing: no query is no address.
  EXPECT_EQ(why, query.empty() ? kf::text::cp1252(u8"Die Antwort des Servers enthält keinen Videoplayer mit der "
                                                  u8"Adresse der Datei.")
                               : "");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CraftedPageTest,
    ::testing::Values(
        CraftedPage{"StopsAtTheFirstAmpersandS", "x SWFObject(\"/p.swf?a=1&sx=2&b=3\", \"p\") y", "a=1"},
        CraftedPage{"OnlyTheFirstEmbeddingCounts",
                    "SWFObject(\"/p.swf?video_id=first&t=1\", 1);\nSWFObject(\"/p.swf?video_id=second&t=2\", 2);",
                    "video_id=first&t=1"},
        CraftedPage{"NoQuestionMarkGivesNoAddress", "SWFObject(\"/player.swf\", \"p\")", ""},
        // "?s" is no "&s": the appended "&s" ends the query, which runs to the end of the address.
        CraftedPage{"FirstParameterBeginningWithS", "SWFObject(\"/p.swf?sid=4&t=5\", 1)", "sid=4&t=5"},
        CraftedPage{"FrontMarkerInLowerCaseIsNotFound", "swfobject(\"/p.swf?a=1&b=2\", 1)", ""},
        CraftedPage{"NoBackMarkerGivesNoAddress", "SWFObject(\"/p.swf?a=1&b=2\" ,", ""},
        // Nothing of the query is decoded or encoded on its way.
        CraftedPage{"QueryKeptByteForByte", "SWFObject(\"/p.swf?q=%41+b%20\xe4&t=1\",", "q=%41+b%20\xe4&t=1"}),
    [](const auto &instance) { return instance.param.name; });

TEST_F(ResolverTest, UnreachablePageIsTold) {
  const kf::net::SiteAddress site = kf::test::localSiteAddress(kf::test::deadPort());
  EXPECT_EQ(whyNot([&] { kf::net::rGetVideoFileUrl(site.root + "/watch?v=abc", site); }),
            "Der Server ist nicht erreichbar.");
}

}  // namespace
