#pragma once
#include <memory>
#include <string>

#include "net/cls_download.h"
#include "net/site_address.h"
#include "search/result_models.h"
#include "store/settings.h"
#include "windows/search_controls.h"

namespace kf::windows {

// The search and the page views of the main window. Made once by the main window, it installs its
// handlers on the controls it is given (search and abort buttons, Enter in the search box, the two
// view buttons, a click on a raw line) and takes them off again when it goes.
class SearchCommands {
 public:
  // Page files are saved in `appDir`; requests go to `site`.
  SearchCommands(SearchControls controls, const store::Settings &settings, net::SiteAddress site, std::string appDir);
  ~SearchCommands();
  SearchCommands(const SearchCommands &) = delete;
  SearchCommands &operator=(const SearchCommands &) = delete;

  // Fetches the result pages for the words in the search box, one after another, saves each beside
  // the program and lists its entries, until the last page of the `respages` setting (of the most
  // the setting allows for "*", every video), an empty or failed page, or the abort command. The
  // result list comes to the front, and the words go to the front of the search history. A first
  // page that fails is told in a message box, one that lists nothing in the Info line; a later one
  // ends the search quietly. Does nothing while a search is running already.
  void search();
  bool running() const { return searching_; }
  // Whether the abort command stopped the search running or run last.
  bool aborted() const { return AbortSearch; }
  // Stops a running search: the page in hand is dropped unsaved, what was listed stays.
  void abort();

  void showResults();
  void showFile();
  // Puts page line `row` on the clipboard.
  void copyLine(int row);

 private:
  void fetchPages(int pages, const http::ConnectionPool &pool);
  // DownloadPage's answer, or the empty text for a page that failed (told when `tellFailure`) or
  // was aborted.
  std::string fetchPage(const std::string &address, const std::string &name, bool tellFailure,
                        const http::ConnectionPool &pool);
  void countPage();
  search::ResultModels models() const;

  SearchControls controls_;
  const store::Settings &settings_;
  net::SiteAddress site_;
  std::string appDir_;
  // The download object of the page in hand.
  std::unique_ptr<net::clsDownload> clsDL;
  bool searching_ = false;
  // Set by the abort command; the search looks at it between pages.
  bool AbortSearch = false;
};

}  // namespace kf::windows
