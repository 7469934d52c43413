#include "net/r_split.h"

#include <gtest/gtest.h>

#include "platform/base/cp1252.h"

namespace kf::net {
namespace {

struct Cut {
  std::string source, before, after;
  std::int16_t loop;
  bool caseSensitive;
  std::string expected;
};

class RGetStringTest : public testing::TestWithParam<Cut> {};

TEST_P(RGetStringTest, CutsThePieceBetweenTheMarkers) {
  const Cut &cut = GetParam();
  EXPECT_EQ(rGetString(cut.source, cut.before, cut.after, cut.loop, cut.caseSensitive), cut.expected);
}

INSTANTIATE_TEST_SUITE_P(Occurrences, RGetStringTest,
                         testing::Values(Cut{"a[x]b[y]c", "[", "]", 1, true, "x"},
                                         Cut{"a[x]b[y]c", "[", "]", 2, true, "y"},
                                         Cut{"a[x]b[y]c", "[", "]", 3, true, ""},
                                         Cut{"a[x]b[y]c", "[", "]", 0, true, ""},
                                         Cut{"a[x]b[y]c", "[", "]", -1, true, ""},
                                         // Each search begins right after the previous front marker: no overlap.
                                         Cut{"aaaaab", "aa", "b", 2, true, "a"}, Cut{"aaaaab", "aa", "b", 3, true, ""},
                                         // The back marker is only looked for after the front marker.
                                         Cut{"]a[b]", "[", "]", 1, true, "b"},
                                         Cut{"<a href=\"/watch?v=Xy_1\">", "watch?v=", "\"", 1, true, "Xy_1"}));

INSTANTIATE_TEST_SUITE_P(
    MissingOrEmptyPieces, RGetStringTest,
    testing::Values(Cut{"ab", "a", "b", 1, true, ""},    // back marker right after the front marker
                    Cut{"abc", "c", "x", 1, true, ""},   // nothing follows the front marker
                    Cut{"abc", "a", "x", 1, true, ""},   // no back marker
                    Cut{"abc", "x", "c", 1, true, ""},   // no front marker
                    Cut{"abc", "", "c", 1, true, "ab"},  // an empty front marker stands at the start
                    Cut{"abc", "a", "", 1, true, ""},    // an empty back marker stands right at the start
                    Cut{"", "", "", 1, true, ""}, Cut{"", "a", "b", 1, false, ""}));

INSTANTIATE_TEST_SUITE_P(LetterCase, RGetStringTest,
                         testing::Values(Cut{"Key=Value;", "key=", ";", 1, false, "value"},
                                         Cut{"Key=Value;", "key=", ";", 1, true, ""},
                                         Cut{"Key=Value;", "Key=", ";", 1, true, "Value"},
                                         Cut{text::cp1252(u8"Titel: ÄRGER IM BÜRO|"), text::cp1252(u8"TITEL: "), "|", 1,
                                             false, text::cp1252(u8"ärger im büro")}));

TEST(RGetString, LeavesTheCallersTextsAlone) {
  const std::string source = "Key=Value;";
  const std::string before = "KEY=";
  EXPECT_EQ(rGetString(source, before, ";", 1, false), "value");
  EXPECT_EQ(source, "Key=Value;");
  EXPECT_EQ(before, "KEY=");
}

}  // namespace
}  // namespace kf::net
