// The site over real HTTP: result pages in the program's grammar, paging, both host names, HEAD
// sizes, the watch page's player embedding and the file request, pictures, clips and the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include "entry_grammar.h"
#include "site_fixture.h"

namespace kf::site::test {
namespace {

std::string lowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::vector<std::string> ids(const PageReading &reading) {
  std::vector<std::string> out;
  for (const auto &entry : reading.entries) out.push_back(entry.id);
  return out;
}

// The player address cut out as the program's resolver does, and the file request built from it.
std::string fileRequest(const std::string &watchPage) {
  auto front = watchPage.find("SWFObject(\"");
  if (front == std::string::npos) return {};
  front += 11;
  std::string player = watchPage.substr(front, watchPage.find("\",", front) - front) + "&s";
  auto question = player.find('?');
  if (question == std::string::npos) return {};
  return "/get_video.php?" + player.substr(question + 1, player.find("&s", question) - question - 1);
}

// attachment; filename="NAME.webm" with nothing but ASCII letters, digits, "-" and "_" in NAME.
bool safeAttachment(const std::string &header) {
  const std::string front = "attachment; filename=\"", back = ".webm\"";
  if (!header.starts_with(front) || !header.ends_with(back) || header.size() == front.size() + back.size()) {
    return false;
  }
  return std::all_of(header.begin() + static_cast<std::ptrdiff_t>(front.size()),
                     header.end() - static_cast<std::ptrdiff_t>(back.size()),
                     [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '_'; });
}

class SitePages : public SiteTest {};

TEST_F(SitePages, EveryPageOfASearchFollowsTheEntryGrammarAndListsEachMatchOnce) {
  for (std::string word : {"katze", "cat", "musik", "berlin", "klipfang"}) {
    SCOPED_TRACE(word);
    size_t expected = 0;
    for (const auto &video : catalogue().videos()) {
      std::string tags;
      for (const auto &tag : video.tags) tags += tag + " ";
      expected += lowerAscii(video.title + " " + video.description + " " + tags).find(word) != std::string::npos;
    }
    std::set<std::string> seen;
    int page = 1;
    for (;; ++page) {
      Answer answer = get(page == 1 ? pageOne(word) : pageN(word, page));
      ASSERT_EQ(answer.status, 200);
      if (answer.body.empty()) break;
      for (bool clean : {false, true}) {
        PageReading reading = readResultPage(answer.body, clean);
        EXPECT_TRUE(reading.problems.empty()) << "page " << page << ": " << reading.problems.front();
        for (const auto &entry : reading.entries) {
          const Video *video = catalogue().find(entry.id);
          ASSERT_NE(video, nullptr) << entry.id;
          EXPECT_EQ(entry.title, clean ? cleanText(video->title) : video->title);
          EXPECT_EQ(entry.description, clean ? cleanText(video->description) : video->description);
          EXPECT_EQ(entry.duration, video->duration);
          EXPECT_EQ(entry.picture, "http://" + fullHost() + "/vi/" + entry.id + "/" + entry.id + ".jpg");
          EXPECT_NE(lowerAscii(video->searchText).find(word), std::string::npos);
        }
      }
      auto pageIds = ids(readResultPage(answer.body, false));
      EXPECT_TRUE(pageIds.size() == 20 || seen.size() + pageIds.size() == expected) << "page " << page;
      for (const auto &id : pageIds) EXPECT_TRUE(seen.insert(id).second) << id << " listed twice";
    }
    EXPECT_EQ(seen.size(), expected);
    EXPECT_GE(page - 1, word == "klipfang" ? 15 : 3);
    EXPECT_EQ(get(pageN(word, page + 1)).body, "");
  }
}

TEST_F(SitePages, AddressesFollowTheHostNameTheRequestCameBy) {
  const std::string target = pageOne("berlin");
  auto first = readResultPage(get(target, bareHost()).body, false).entries.at(0);
  EXPECT_EQ(first.picture.rfind("http://" + bareHost() + "/vi/", 0), 0u) << first.picture;
  first = readResultPage(get(target, fullHost()).body, false).entries.at(0);
  EXPECT_EQ(first.picture.rfind("http://" + fullHost() + "/vi/", 0), 0u) << first.picture;
  // A Host header that could break out of an attribute is not trusted.
  first = readResultPage(get(target, "evil\"><b>x").body, false).entries.at(0);
  EXPECT_EQ(first.picture.rfind("http://localhost:" + std::to_string(port_) + "/vi/", 0), 0u) << first.picture;
}

TEST_F(SitePages, SearchWordsArriveEncodedInEitherCodePage) {
  auto found = [&](const std::string &words) { return ids(readResultPage(get(pageOne(words)).body, false)); };
  const auto utf8 = found("m%C3%BCtze");
  ASSERT_FALSE(utf8.empty());
  EXPECT_EQ(found("m%FCtze"), utf8);     // Windows-1252, as the program sends it
  EXPECT_EQ(found("M%C3%9CTZE"), utf8);  // capital umlaut
  for (const auto &id : found("katze%20gurke")) {
    const std::string text = catalogue().find(id)->searchText;
    EXPECT_TRUE(text.find("katze") != std::string::npos && text.find("gurke") != std::string::npos) << id;
  }
  EXPECT_EQ(found("katze+gurke"), found("katze%20gurke"));
  EXPECT_EQ(found("KATZE"), found("katze"));
  for (const std::string &nothing : {pageOne(""), pageOne("zzzqqq"), pageN("katze", 0), pageN("katze", -2) + "x"}) {
    Answer answer = get(nothing);
    EXPECT_EQ(answer.status, 200) << nothing;
    EXPECT_EQ(answer.body, "") << nothing;
  }
}

TEST_F(SitePages, HeadAnnouncesTheLengthOfTheGetBody) {
  const Video &video = catalogue().videos().front();
  const std::string watch = get("/watch?v=" + video.id).body;
  for (const std::string &target :
       std::vector<std::string>{"/", pageOne("katze"), pageN("katze", 3), pageN("katze", 99), "/watch?v=" + video.id,
                                "/embed/" + video.id, "/vi/" + video.id + "/" + video.id + ".jpg", fileRequest(watch),
                                "/klipfang", "/no/such/page", "/get_video.php?video_id=" + video.id + "&t=0"}) {
    for (const std::string &host : {fullHost(), bareHost()}) {
      SCOPED_TRACE(target + " via " + host);
      Answer getAnswer = get(target, host);
      Answer headAnswer = fetch(port_, "HEAD", target, host);
      EXPECT_EQ(headAnswer.status, getAnswer.status);
      EXPECT_EQ(headAnswer.contentLength(), static_cast<long long>(getAnswer.body.size()));
      EXPECT_EQ(getAnswer.contentLength(), static_cast<long long>(getAnswer.body.size()));
      EXPECT_TRUE(headAnswer.complete && headAnswer.body.empty());
    }
  }
}

TEST_F(SitePages, WatchPageLeadsToTheVideoFileOnlyWithItsToken) {
  for (size_t i = 0; i < catalogue().videos().size(); i += 40) {
    const Video &video = catalogue().videos()[i];
    SCOPED_TRACE(video.id);
    Answer watch = fetch(port_, "GET", "/watch?v=" + video.id, fullHost(), "User-Agent: VBURLSource\r\n");
    ASSERT_EQ(watch.status, 200);
    const std::string file = fileRequest(watch.body);
    ASSERT_EQ(file.rfind("/get_video.php?video_id=" + video.id + "&t=", 0), 0u) << file;

    Answer clip = get(file, bareHost());
    EXPECT_EQ(clip.status, 200);
    EXPECT_EQ(clip.headers["content-type"], "video/webm");
    EXPECT_TRUE(safeAttachment(clip.headers["content-disposition"])) << clip.headers["content-disposition"];
    EXPECT_EQ(clip.body.substr(0, 4), "\x1A\x45\xDF\xA3");  // EBML, the start of every WebM file
    EXPECT_NE(clip.body.find("webm"), std::string::npos);

    std::string wrongToken = file;
    char &first = wrongToken[wrongToken.find("&t=") + 3];
    first = first == '0' ? '1' : '0';
    EXPECT_EQ(get(wrongToken, bareHost()).status, 403);
    EXPECT_EQ(get("/get_video.php?video_id=" + video.id, bareHost()).status, 403);
  }
  EXPECT_EQ(get("/get_video.php?video_id=nosuchvideo&t=1", bareHost()).status, 404);
  EXPECT_EQ(get("/watch?v=nosuchvideo").status, 404);
}

TEST_F(SitePages, PicturesAndTheEmbeddedPlayerServeRealMedia) {
  std::set<std::string> pictureNames;
  for (const auto &entry : readResultPage(get(pageOne("katze")).body, false).entries) {
    const std::string path = entry.picture.substr(entry.picture.find("/vi/"));
    Answer picture = get(path);
    EXPECT_EQ(picture.status, 200) << path;
    EXPECT_EQ(picture.headers["content-type"], "image/jpeg");
    EXPECT_EQ(jpegSize(picture.body), std::make_pair(130, 97)) << path;
    pictureNames.insert(path.substr(path.rfind('/')));
  }
  EXPECT_EQ(pictureNames.size(), 20u);  // the program names its picture files by the last segment

  const Video &video = catalogue().videos().back();
  Answer embed = get("/embed/" + video.id, bareHost());
  const auto player = embed.body.find("<video id=\"player\" controls autoplay");
  ASSERT_NE(player, std::string::npos);
  EXPECT_EQ(embed.body.substr(player, embed.body.find('>', player) - player).find("muted"), std::string::npos)
      << "it plays with its sound";
  const auto src = embed.body.find(" src=\"", player) + 6;
  std::string address = embed.body.substr(src, embed.body.find('"', src) - src);
  address.replace(address.find("&amp;"), 5, "&");
  const std::string prefix = "http://" + bareHost();
  ASSERT_EQ(address.rfind(prefix, 0), 0u) << address;
  Answer clip = get(address.substr(prefix.size()), bareHost());
  EXPECT_EQ(clip.headers["content-type"], "video/webm");
  Answer part = fetch(port_, "GET", address.substr(prefix.size()), bareHost(), "Range: bytes=0-99\r\n");
  EXPECT_EQ(part.status, 206);
  EXPECT_EQ(part.body, clip.body.substr(0, 100));
  EXPECT_EQ(part.headers["content-range"], "bytes 0-99/" + std::to_string(clip.body.size()));
}

TEST_F(SitePages, HomeAndMakerPagesAreRealPages) {
  Answer home = get("/");
  EXPECT_EQ(home.status, 200);
  EXPECT_NE(home.body.find("action=\"/results\""), std::string::npos);
  EXPECT_NE(home.body.find("id=\"logo\""), std::string::npos);
  EXPECT_NE(home.body.find("/watch?v="), std::string::npos);
  // "Alle Videos" is the search for "*": every video on one page.
  EXPECT_NE(home.body.find("\"/results?search_query=*&amp;search=Search\">Alle Videos"), std::string::npos);
  EXPECT_EQ(ids(readResultPage(get(pageOne("*")).body, false)).size(), catalogue().videos().size());
  Answer maker = get("/klipfang");
  EXPECT_EQ(maker.status, 200);
  EXPECT_TRUE(maker.body.ends_with("</html>\n"));
}

TEST_F(SitePages, LogRecordsMethodTargetHostAndUserAgent) {
  const auto file = std::filesystem::temp_directory_path() / ("kf-site-log-" + std::to_string(port_) + ".txt");
  std::filesystem::remove(file);
  server_->writeLogTo(file);
  server_->clearRequests();
  fetch(port_, "HEAD", pageOne("katze"), fullHost(), "User-Agent: Download\r\n");
  fetch(port_, "GET", "/watch?v=abc", bareHost(), "User-Agent: VBURLSource\r\n");
  auto entries = server_->requests();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].method, "HEAD");
  EXPECT_EQ(entries[0].target, pageOne("katze"));
  EXPECT_EQ(entries[0].host, fullHost());
  EXPECT_EQ(entries[0].userAgent, "Download");
  EXPECT_EQ(entries[1].method, "GET");
  EXPECT_EQ(entries[1].userAgent, "VBURLSource");
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("HEAD\t" + pageOne("katze") + "\tHost: " + fullHost() + "\tUser-Agent: Download"),
            std::string::npos);
  std::filesystem::remove(file);
}

TEST(EntryGrammarReader, CatchesAnEntryLineTooShortForItsTitle) {
  const std::string page =
      "<html>\n<a href=\"/watch?v=abcdefghijk\" title='A rather long title'><img src=\"x\" a=\"\" b=\"pic\">\n"
      "<div>\n<span>1:00</span>\n<div>\n<div>\n<div id=\"descabcdefghijk\">\ntext\n</div>\n</html>\n";
  PageReading reading = readResultPage(page, false);
  EXPECT_TRUE(reading.entries.empty());
  ASSERT_EQ(reading.problems.size(), 1u);
  EXPECT_NE(reading.problems[0].find("L - p"), std::string::npos) << reading.problems[0];
}

}  // namespace
}  // namespace kf::site::test
