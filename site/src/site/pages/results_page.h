#pragma once
// The search result page, in the line grammar the program cuts its entries by.
#include <string>
#include <vector>

#include "site/catalogue/catalogue.h"
#include "site/pages/layout.h"

namespace kf::site {

struct ResultsView {
  Place place;
  std::string words;  // the search words as given, echoed (escaped) below the entries
  int page = 1;
  int pageCount = 1;
  int total = 0;
  std::vector<Video> entries;
};

std::string resultsPage(const ResultsView &view);

// The one line of an entry that holds its "/watch?v=" link, title and picture address.
std::string entryLine(const Place &place, const Video &video);

}  // namespace kf::site
