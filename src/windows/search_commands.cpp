#include "windows/search_commands.h"

#include <algorithm>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"
#include "platform/ui/toolkit.h"
#include "search/download_page.h"
#include "search/load_file.h"
#include "search/page_address.h"
#include "windows/busy_pointer.h"
#include "windows/result_views.h"

namespace kf::windows {
namespace {
bool isPage(const std::string &answer) {
  return !answer.empty() && answer != search::kNoResult;
}

// "*" alone asks the site for every video, in pages as long as the list takes them: such a search
// runs up to the most pages there are, whatever the setting.
bool isEveryVideo(const std::string &words) {
  const auto first = words.find_first_not_of(' ');
  return first != std::string::npos && words.substr(first, words.find_last_not_of(' ') + 1 - first) == "*";
}
}  // namespace

SearchCommands::SearchCommands(SearchControls controls, const store::Settings &settings, net::SiteAddress site,
                               std::string appDir)
    : controls_(controls), settings_(settings), site_(std::move(site)), appDir_(std::move(appDir)) {
  controls_.cmdSearch.onClick = [this] { search(); };
  controls_.txtSearch.onKeyDown = [this](int keyCode, int) {
    if (keyCode == ui::keys::kEnter) search();
  };
  controls_.cmdAbortS.onClick = [this] { abort(); };
  controls_.cmdResults.onClick = [this] { showResults(); };
  controls_.cmdFile.onClick = [this] { showFile(); };
  controls_.lstFile.onItemClick = [this](int row) { copyLine(row); };
  showPageLines(controls_.pageLines, controls_.lstFile);
  showSearchResults(controls_.results, controls_.favourites.videos, controls_.img);
}

SearchCommands::~SearchCommands() {
  controls_.cmdSearch.onClick = nullptr;
  controls_.txtSearch.onKeyDown = nullptr;
  controls_.cmdAbortS.onClick = nullptr;
  controls_.cmdResults.onClick = nullptr;
  controls_.cmdFile.onClick = nullptr;
  controls_.lstFile.onItemClick = nullptr;
  controls_.pageLines.onReplaced = nullptr;
  controls_.results.videos.setListener({});
}

search::ResultModels SearchCommands::models() const {
  return {controls_.pageLines, controls_.results.videos, settings_, [] { ui::toolkit().doEvents(); }};
}

void SearchCommands::search() {
  // Enter in the search box can arrive while a page is being fetched or parsed.
  if (searching_) return;
  searching_ = true;
  // The settings window may change the setting while the search runs; this search keeps its count.
  // Page 1 is fetched whatever the setting says.
  const int pages =
      isEveryVideo(controls_.txtSearch.text()) ? store::kMostResultPages : std::max<int>(settings_.respages, 1);
  controls_.history.add(controls_.txtSearch.text());
  // The user sees the list fill, whichever view was in front; the panel's row is gone.
  showResults();
  controls_.fraCMD.setVisible(false);
  controls_.results.videos.clear();
  // What the Info line and the preview showed belongs to the last search.
  controls_.labSel.setCaption("");
  controls_.imgPrev.clearPicture();
  controls_.prgDL.setValue(0);
  controls_.prgDL.setMax(pages + 1);
  AbortSearch = false;
  controls_.cmdSearch.setVisible(false);
  controls_.cmdAbortS.setVisible(true);
  try {
    // The pages go to one site one after another: they share their connections.
    const http::ConnectionPool pool;
    fetchPages(pages, pool);
  } catch (const Error &) {
    // A failure ends the search like its last page; what was listed stays.
  }
  // The last page's download object would hold the search's connections open.
  clsDL.reset();
  controls_.prgDL.setValue(controls_.prgDL.max());
  controls_.cmdSearch.setVisible(true);
  controls_.cmdAbortS.setVisible(false);
  searching_ = false;
}

void SearchCommands::abort() {
  AbortSearch = true;
  // A slow page would hold the search for minutes: the page in hand is dropped now.
  if (clsDL) clsDL->Abort();
}

std::string SearchCommands::fetchPage(const std::string &address, const std::string &name, bool tellFailure,
                                      const http::ConnectionPool &pool) {
  try {
    const BusyPointer busy;
    return search::DownloadPage(clsDL, address, files::join(appDir_, name), pool, [] { ui::toolkit().doEvents(); });
  } catch (const net::DownloadAborted &) {
    // The user stopped it: there is nothing to tell.
  } catch (const Error &failure) {
    if (tellFailure) ui::toolkit().messageBox(failure.description(), "Klipfang", ui::MessageIcon::Exclamation);
  }
  return {};
}

void SearchCommands::fetchPages(int pages, const http::ConnectionPool &pool) {
  const std::string first =
      fetchPage(search::FirstPageUrl(site_.root, controls_.txtSearch.text()), "result.txt", true, pool);
  if (isPage(first)) search::LoadFile(first, models());
  // Finding nothing is no failure: the Info line says so, not a message box.
  if (!first.empty() && controls_.results.videos.empty() && !AbortSearch) {
    controls_.labSel.setCaption(text::cp1252(u8"Keine Videos gefunden."));
  }
  if (!isPage(first)) return;
  countPage();
  for (int page = 2; page <= pages; ++page) {
    if (AbortSearch) return;
    const std::string file = fetchPage(search::PageUrl(site_.root, controls_.txtSearch.text(), page),
                                       "result" + std::to_string(page) + ".txt", false, pool);
    if (!isPage(file)) return;
    search::LoadFile(file, models());
    ui::toolkit().doEvents();
    countPage();
  }
}

void SearchCommands::countPage() {
  controls_.prgDL.setValue(controls_.prgDL.value() + 1);
}

void SearchCommands::showResults() {
  controls_.lstFile.setVisible(false);
  controls_.brw.setVisible(false);
  controls_.favourites.list.setVisible(false);
  controls_.results.list.setVisible(true);
}

void SearchCommands::showFile() {
  controls_.lstFile.setVisible(true);
  controls_.results.list.setVisible(false);
  controls_.favourites.list.setVisible(false);
  controls_.brw.setVisible(false);
  controls_.fraCMD.setVisible(false);
}

void SearchCommands::copyLine(int row) {
  ui::toolkit().clearClipboard();
  const auto &lines = controls_.pageLines.lines();
  if (row >= 1 && static_cast<std::size_t>(row) <= lines.size()) {
    ui::toolkit().setClipboardText(lines[static_cast<std::size_t>(row) - 1]);
  }
}

}  // namespace kf::windows
