// The player's query cut out of a watch page with any content; it becomes part of the video file
// address the program hands to the browser or the clipboard.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "net/r_general.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string page(reinterpret_cast<const char *>(data), size);
  const std::string query = kf::net::rPlayerQuery(page);
  if (query.empty()) return 0;
  if (page.find(query) == std::string::npos) kf::fuzz::fail("the query is not part of the page");
  // It ends before the player address does, and before its first parameter beginning with "s".
  if (query.find("\",") != std::string::npos) kf::fuzz::fail("the query runs past the player address");
  if (query.find("&s") != std::string::npos) kf::fuzz::fail("the query holds a parameter beginning with s");
  return 0;
}
