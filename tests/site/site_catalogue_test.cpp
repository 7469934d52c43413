// The committed catalogue and media, and the checks that keep a hand-edited catalogue from
// breaking the result pages.
#include <gtest/gtest.h>

#include <set>

#include "site/catalogue/catalogue.h"
#include "site/catalogue/text.h"
#include "site/http/server.h"
#include "site/pages/pages.h"

namespace kf::site {
namespace {

constexpr const char *kGood = "abcdefghijk|Katze im Schnee|3:25|0|katze,cat|Eine Katze.<br/>\tIm Schnee.";

TEST(SiteCatalogue, CommittedCatalogueIsLargeVariedAndComplete) {
  const Site site = Site::load(defaultDataDir());
  const auto &videos = site.catalogue().videos();
  EXPECT_GE(videos.size(), 300u);
  std::set<int> clips;
  bool umlaut = false, breakTag = false, tab = false;
  for (const auto &video : videos) {
    clips.insert(video.clip);
    umlaut = umlaut || video.title.find("\xC3\xB6") != std::string::npos ||
             video.title.find("\xC3\xBC") != std::string::npos;
    breakTag = breakTag || video.description.find("<br/>") != std::string::npos;
    tab = tab || video.description.find('\t') != std::string::npos;
  }
  EXPECT_GE(clips.size(), 6u);
  EXPECT_TRUE(umlaut && breakTag && tab);
}

TEST(SiteCatalogue, RejectsRecordsThatWouldBreakAResultPage) {
  EXPECT_EQ(Catalogue::parse(std::string("# comment\n") + kGood + "\r\n").videos().size(), 1u);
  const std::vector<std::string> bad = {
      "abcdefghij|Zu kurz|3:25|0|katze|Text.",                       // id of 10 characters
      "abcdefghi!k|Zeichen|3:25|0|katze|Text.",                      // "!" in the id
      "abcdefghijk|Katze's Tag|3:25|0|katze|Text.",                  // single quote in the title
      "abcdefghijk|Katze \"X\"|3:25|0|katze|Text.",                  // double quote in the title
      "abcdefghijk|Titel|3:25|0|katze|Text|mehr",                    // "|" in a field
      "abcdefghijk|Titel|325|0|katze|Text.",                         // duration
      "abcdefghijk|Titel|3:75|0|katze|Text.",                        // duration
      "abcdefghijk|Titel|3:25|0|katze| Text.",                       // description starts with a blank
      "abcdefghijk|Titel|3:25|0|katze|Siehe /watch?v=abc",           // entry marker in a text
      "abcdefghijk|Titel|3:25|0|katze|\374ber",                      // not UTF-8
      std::string(kGood) + "\nABCDEFGHIJK|Andere|1:00|1|cat|Text.",  // same id in other letter case
  };
  for (const auto &record : bad) {
    EXPECT_THROW(Catalogue::parse(record), CatalogueError) << record;
  }
}

TEST(SiteCatalogue, SearchFoldsLetterCaseAndNeedsEveryWord) {
  const Catalogue catalogue = Catalogue::parse(std::string(kGood) +
                                               "\nbbbbbbbbbbb|Übermütige Kätzchen|1:00|1|tiere|Spiel.\n"
                                               "ccccccccccc|Hund|1:00|2|hund|Ein Hund und eine Katze.");
  auto found = [&](const std::vector<std::string> &words) {
    std::vector<std::string> ids;
    for (const Video *video : catalogue.search(words)) ids.push_back(video->id);
    return ids;
  };
  EXPECT_EQ(found({"katze"}), (std::vector<std::string>{"abcdefghijk", "ccccccccccc"}));
  EXPECT_EQ(found({"katze", "hund"}), std::vector<std::string>{"ccccccccccc"});
  EXPECT_EQ(found({foldCase(toUtf8("\xDC"
                                   "berm\xFC"
                                   "tige"))}),
            std::vector<std::string>{"bbbbbbbbbbb"});
  EXPECT_EQ(found({"cat"}), std::vector<std::string>{"abcdefghijk"});  // a tag
  EXPECT_TRUE(found({}).empty());
}

TEST(SitePagesText, AttachmentNameIsPlainAsciiWhateverTheTitle) {
  Video video;
  video.id = "abcdefghijk";
  video.title = "Grüße aus Köln: \"../../etc\"\r\n – Teil 2";
  EXPECT_EQ(attachmentName(video), "Gruesse_aus_Koeln_etc_Teil_2.webm");
  video.title = "\xE2\x80\x93\xE2\x80\x93";
  EXPECT_EQ(attachmentName(video), "abcdefghijk.webm");
  // A video of a library keeps its file's extension when it is a plain one.
  video.title = "Grüße";
  video.fileName = "Ordner/grüße.MKV";
  EXPECT_EQ(attachmentName(video), "Gruesse.MKV");
  video.fileName = "seltsam.m<p>4";
  EXPECT_EQ(attachmentName(video), "Gruesse.webm");
}

}  // namespace
}  // namespace kf::site
