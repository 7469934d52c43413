// A saved result page with any content, loaded into the raw-line list and parsed into the result
// list, once as it is and once with the text cleaning on, beside favourites that mark some rows.
// Whatever the page holds, what it brings in stays within its bounds.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "platform/ui/controls.h"
#include "platform/ui/headless_toolkit.h"
#include "scratch_folder.h"
#include "search/load_file.h"
#include "store/favourite_row.h"
#include "store/settings.h"

namespace {

constexpr int kMaxPageRows = 9999;
constexpr std::size_t kLongestLine = 4000;
constexpr int kMostRowsFromAPage = 1000;
constexpr std::size_t kLongestField = 1000;
constexpr std::size_t kLongestVideoId = 64;

kf::ui::ListView makeList(const char *name) {
  return kf::ui::ListView(name, nullptr, {0, 0, 4000, 3000}, 0);
}

void loadPage(const std::string &file, bool cleartxt) {
  kf::ui::HeadlessToolkit tk;
  kf::ui::setToolkit(tk);
  kf::ui::ListView lstFile = makeList("lstFile");
  kf::ui::ListView lstResult = makeList("lstResult");
  kf::ui::ListView lstFavs = makeList("lstFavs");
  const kf::ui::ImageList img{{{"fav", "fav.svg", "Favorit"}}};
  const kf::store::Settings settings{3, cleartxt, false, false};
  for (const char *id : {"Fine001", "abc"}) kf::store::appendFavourite(lstFavs, "1", {"", id, "", "", ""});

  kf::search::LoadFile(file, {lstFile, lstResult, lstFavs, img, settings});

  if (lstFile.count() > kMaxPageRows) kf::fuzz::fail("the raw-line list holds more rows than a page may have");
  for (int row = 1; row <= lstFile.count(); ++row) {
    if (lstFile.subItemText(row, 1).size() > kLongestLine)
      kf::fuzz::fail("a raw line is longer than kept lines may be");
  }
  if (lstResult.count() > kMostRowsFromAPage) kf::fuzz::fail("the page gave more rows than a page may");
  for (int row = 1; row <= lstResult.count(); ++row) {
    const auto &fields = lstResult.item(row).subItems;
    if (fields.size() != 5) kf::fuzz::fail("a result row lacks fields");
    for (const auto &field : fields) {
      if (field.text.size() > kLongestField) kf::fuzz::fail("a field is longer than fields may be");
    }
    if (fields[1].text.size() > kLongestVideoId) kf::fuzz::fail("an id is longer than ids may be");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string file = kf::fuzz::writeScratchFile("result.txt", data, size);
  loadPage(file, false);
  loadPage(file, true);
  return 0;
}
