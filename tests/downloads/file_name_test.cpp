// The name a download gets: from the answer or the address, and made safe to show and to save.
#include "downloads/file_name.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(FileName, AnswerOrAddressSuggestsTheName) {
  using kf::downloads::nameFromContentDisposition;
  EXPECT_EQ(nameFromContentDisposition(" attachment; filename=\"a \\\"b\\\";c.webm\""), "a \"b\";c.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment;filename=clip.webm ; size=3"), "clip.webm");
  // The extended form wins, in either order; a character set other than UTF-8 is not taken.
  EXPECT_EQ(nameFromContentDisposition("attachment; filename=\"K.webm\"; FILENAME*=UTF-8''K%C3%A4tzchen.webm"),
            "K\xC3\xA4tzchen.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment; filename*=iso-8859-1''K%E4.webm; filename=K.webm"), "K.webm");
  EXPECT_EQ(nameFromContentDisposition("attachment; name=\"x\""), std::nullopt);
  EXPECT_EQ(kf::downloads::nameFromAddress("http://localhost:8480/media/Kurz%20Clip.webm?x=/y#z"), "Kurz Clip.webm");
  EXPECT_EQ(kf::downloads::nameFromAddress("http://localhost:8480"), "");
}

TEST(FileName, SuggestedNamesAreMadeSafe) {
  using kf::downloads::safeFileName;
  EXPECT_EQ(safeFileName("../../.bashrc"), "_.._.bashrc");
  EXPECT_EQ(safeFileName("..\\..\\win.ini"), "_.._win.ini");
  EXPECT_EQ(safeFileName(std::string("a\nb\rc\x7f\x01_\0e", 10)), "abc_e");
  EXPECT_EQ(safeFileName("bad\xFF\xC3utf8.webm"), "bad__utf8.webm");
  EXPECT_EQ(safeFileName("K\xC3\xA4tzchen.webm"), "K\xC3\xA4tzchen.webm");
  for (const std::string nothing : {"", "..", " . ", "\n\t", "-", "\xE2\x80\x8B"}) {
    EXPECT_EQ(safeFileName(nothing), "download") << nothing;
  }
  // A name shows what it is: no terminal escape (C1 CSI), no direction override that would show
  // "clip\u202Embew.exe" as "clipexe.webm", no zero-width character, no option for a program.
  EXPECT_EQ(safeFileName("\xC2\x9B"
                         "31mrot\xC2\x80.webm"),
            "31mrot.webm");
  // NOLINTNEXTLINE(misc-misleading-bidirectional): the file-name check is fed these on purpose
  EXPECT_EQ(safeFileName("clip\xE2\x80\xAEmbew.exe"), "clipmbew.exe");
  // NOLINTNEXTLINE(misc-misleading-bidirectional): the file-name check is fed these on purpose
  for (const std::string control : {"\xE2\x80\x8B", "\xE2\x80\x8F", "\xE2\x80\xAA", "\xE2\x81\xA6", "\xE2\x81\xA9"}) {
    EXPECT_EQ(safeFileName("a" + control + "b"), "ab") << control;
  }
  // Nor any other character that shows nothing: format characters, the line and paragraph separators,
  // the soft hyphen, tags, variation selectors and fillers; their neighbours show.
  for (const std::u8string_view hidden :
       {u8"\u00AD", u8"\u0600", u8"\u180E", u8"\u2028", u8"\u2029", u8"\u206A", u8"\u206F", u8"\u115F", u8"\uFE0F",
        u8"\U0001D173", u8"\U000E0001", u8"\U000E0041", u8"\U000E007F", u8"\U000E01EF", u8"\U000E0FFF"}) {
    EXPECT_EQ(safeFileName("a" + std::string(hidden.begin(), hidden.end()) + "b"), "ab");
  }
  const std::u8string_view shown = u8"\u00AC\u00AE\u180A\u2010\u2027\u2030\u2070\uFE10\U0001D172\U000E1000";
  EXPECT_EQ(safeFileName(std::string(shown.begin(), shown.end())), std::string(shown.begin(), shown.end()));
  EXPECT_EQ(safeFileName("-rf"), "rf");
  EXPECT_EQ(safeFileName("--.-x.webm"), "x.webm");
  EXPECT_EQ(safeFileName("a-b.webm"), "a-b.webm");

  // Long names keep their extension and are not cut inside a character.
  std::string umlauts;
  for (int i = 0; i < 150; ++i) umlauts += "\xC3\xA4";
  const std::string cut = safeFileName(umlauts + ".webm");
  EXPECT_LE(cut.size(), kf::downloads::kMaxNameBytes);
  EXPECT_TRUE(cut.ends_with("\xC3\xA4.webm"));
  EXPECT_EQ(cut, safeFileName(cut));
}

}  // namespace
