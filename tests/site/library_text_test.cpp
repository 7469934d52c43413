// What the library makes of the texts in a user's files: one folding for the index and the search,
// texts that keep the result page's grammar, play times and ids.
#include <gtest/gtest.h>

#include <set>

#include "site/library/search_folding.h"
#include "site/library/video_id.h"
#include "site/library/video_text.h"

namespace kf::site::library {
namespace {

TEST(LibraryText, FoldingMeetsUmlautsTheirSpellingsSharpSAndAccents) {
  for (const char *same : {"Käse", "KAESE", "kase", "KÄSE", "Kâse"}) EXPECT_EQ(foldForSearch(same), "kase") << same;
  EXPECT_EQ(foldForSearch("Straße"), "strasse");
  EXPECT_EQ(foldForSearch("Übung"), "ubung");
  EXPECT_EQ(foldForSearch("Œuvre Ærø Łódź"), "ouvre aro lodz");
  EXPECT_EQ(matchExpression({"käse-brot", "Ölmühle"}), "\"kase\"* \"brot\"* \"olmuhle\"*");
  EXPECT_EQ(matchExpression({"\"*", "-", ""}), "") << "nothing to search for";
  EXPECT_EQ(matchExpression({"\xFF\"OR"}), "\"y\"* \"or\"*") << "no query syntax gets through";
}

TEST(LibraryText, TextsKeepThePageGrammar) {
  EXPECT_EQ(pageText("Tom's \"Film\" <b> & | x", 100, false), "Tom’s ”Film” ‹b› + ¦ x");
  EXPECT_EQ(pageText("  Zeile 1\r\n\n\tZeile 2 \n", 100, true), "Zeile 1<br/>Zeile 2");
  EXPECT_EQ(pageText("Zeile 1\nZeile 2", 100, false), "Zeile 1 Zeile 2");
  EXPECT_EQ(pageText("siehe /watch?v=abcdefghijk", 100, false), "siehe /watch? v=abcdefghijk");
  EXPECT_EQ(pageText("DescABCDEFGHIJK und description", 100, false), "Desc ABCDEFGHIJK und description");
  EXPECT_EQ(pageText("\xFC"
                     "ber",
                     100, false),
            "über")
      << "not UTF-8: taken as Windows-1252";
  EXPECT_EQ(pageText("äöüäöü", 4, false), "äöüä");
  EXPECT_EQ(pageText(" \t\n ", 100, true), "");
  EXPECT_EQ(chooseTitle("", "Mein_Urlaub.2019.mp4"), "Mein Urlaub 2019");
  EXPECT_EQ(chooseDescription("", " ", "Seitentext", "a/b.mp4"), "Seitentext");
  EXPECT_EQ(chooseDescription("", "", "", "a/b.mp4"), "a/b.mp4");
}

TEST(LibraryText, PlayTimesAndIds) {
  EXPECT_EQ(durationText(0), "0:00");
  EXPECT_EQ(durationText(3599), "59:59");
  EXPECT_EQ(durationText(4000), "1:06:40");
  std::set<std::string> folded;
  for (int i = 0; i < 2000; ++i) {
    const std::string id = videoId("Ordner/Film " + std::to_string(i) + ".mp4");
    ASSERT_EQ(id.size(), 11u);
    ASSERT_EQ(id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
              std::string::npos);
    std::string lower = id;
    for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    folded.insert(lower);
  }
  EXPECT_EQ(folded.size(), 2000u);
  EXPECT_EQ(videoId("a.mp4"), videoId("a.mp4"));
  EXPECT_NE(videoId("a.mp4"), videoId("a.mp4", 1));
}

}  // namespace
}  // namespace kf::site::library
