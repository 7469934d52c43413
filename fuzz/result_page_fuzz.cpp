// A saved result page with any content, loaded into the raw-line list and parsed into the result
// list, once as it is and once with the text cleaning on, beside favourites that mark some rows.
// Whatever the page holds, what it brings in stays within its bounds.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "scratch_folder.h"
#include "search/load_file.h"
#include "search/page_lines.h"
#include "store/settings.h"
#include "video/video_list.h"

namespace {

constexpr std::size_t kMaxPageRows = 9999;
constexpr std::size_t kLongestLine = 4000;
constexpr int kMostRowsFromAPage = 1000;
constexpr std::size_t kLongestField = 1000;
constexpr std::size_t kLongestVideoId = 64;

void loadPage(const std::string &file, bool cleartxt) {
  kf::search::PageLines pageLines;
  kf::video::VideoList results;
  const kf::store::Settings settings{3, cleartxt, false, false};

  kf::search::LoadFile(file, {pageLines, results, settings, {}});

  if (pageLines.lines().size() > kMaxPageRows) kf::fuzz::fail("the page lines hold more rows than a page may have");
  for (const std::string &line : pageLines.lines()) {
    if (line.size() > kLongestLine) kf::fuzz::fail("a page line is longer than kept lines may be");
  }
  if (results.count() > kMostRowsFromAPage) kf::fuzz::fail("the page gave more rows than a page may");
  for (const kf::video::VideoEntry &entry : results.entries()) {
    for (const std::string *field :
         {&entry.Title, &entry.VideoId, &entry.PictureUrl, &entry.Description, &entry.Duration}) {
      if (field->size() > kLongestField) kf::fuzz::fail("a field is longer than fields may be");
    }
    if (entry.VideoId.size() > kLongestVideoId) kf::fuzz::fail("an id is longer than ids may be");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string file = kf::fuzz::writeScratchFile("result.txt", data, size);
  loadPage(file, false);
  loadPage(file, true);
  return 0;
}
