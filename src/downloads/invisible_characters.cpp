#include "downloads/invisible_characters.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kf::downloads {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Unicode 15.0: general categories Cc, Cf, Zl and Zp, and the property Default_Ignorable_Code_Point
// (which holds code points that are not assigned yet, so that a later character there shows nothing
// as well). Sorted, none touching the next.
constexpr std::array<Range, 27> kInvisible = {{
    {0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},
    {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},
    {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x200B, 0x200F},   {0x2028, 0x202E},
    {0x2060, 0x206F},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},
    {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
}};

static_assert(std::adjacent_find(kInvisible.begin(), kInvisible.end(), [](const Range &a, const Range &b) {
                return a.first > a.last || a.last + 1 >= b.first;
              }) == kInvisible.end());

}  // namespace

bool isInvisibleCharacter(char32_t c) {
  const auto range = std::upper_bound(kInvisible.begin(), kInvisible.end(), c,
                                      [](char32_t point, const Range &r) { return point < r.first; });
  return range != kInvisible.begin() && c <= std::prev(range)->last;
}

}  // namespace kf::downloads
