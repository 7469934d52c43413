#include "search/result_page.h"

#include "platform/text/cp1252.h"

namespace kf::search {
namespace {
constexpr std::string_view kMarker = "desc";
}

ResultPage::ResultPage(const ui::ListView &lstFile) {
  rows_.reserve(static_cast<std::size_t>(lstFile.count()));
  lowered_.reserve(rows_.capacity());
  for (int r = 1; r <= lstFile.count(); ++r) {
    const auto &subs = lstFile.item(r).subItems;
    rows_.push_back(subs.empty() ? std::string() : subs.front().text);
    lowered_.push_back(text::lower(rows_.back()));
    const std::string &low = lowered_.back();
    for (auto at = low.find(kMarker); at != std::string::npos; at = low.find(kMarker, at + 1)) {
      markers_.push_back({r, at + kMarker.size()});
    }
  }
}

const ResultPage::FirstRowByText &ResultPage::indexFor(std::size_t idLength) const {
  auto [slot, made] = byIdLength_.try_emplace(idLength);
  if (made) {
    for (const Marker &marker : markers_) {
      const std::string_view low = lowered_[static_cast<std::size_t>(marker.row - 1)];
      if (low.size() - marker.idStart < idLength) continue;
      // try_emplace keeps the first row: markers are in page order.
      slot->second.try_emplace(low.substr(marker.idStart, idLength), marker.row);
    }
  }
  return slot->second;
}

std::ptrdiff_t ResultPage::descriptionMarkerRow(std::string_view videoId) const {
  const std::string wanted = text::lower(videoId);
  const FirstRowByText &index = indexFor(wanted.size());
  const auto hit = index.find(wanted);
  return hit == index.end() ? 0 : hit->second;
}

}  // namespace kf::search
