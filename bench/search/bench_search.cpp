// How fast a result page is parsed, against the straightforward reading of the page grammar; how
// long a whole search of 20 pages takes against the bundled site on loopback, a page and in all,
// against fetching the same pages with plain libcurl and saving and reading back each one; and one
// page's HEAD and GET on one connection, against a connection each. Prints each figure beside its target; exits
// non-zero when a result differs.
#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "net/site_address.h"
#include "platform/os/files.h"
#include "reference_parser.h"
#include "search/load_file.h"
#include "search/page_address.h"
#include "search/parse_results.h"
#include "site/http/server.h"
#include "support/local_site.h"
#include "support/search_window.h"
#include "windows/search_commands.h"

namespace kf::bench {
namespace {

using Clock = std::chrono::steady_clock;

double timeMs(const std::function<void()> &work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> times) {
  const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
  std::nth_element(times.begin(), middle, times.end());
  return *middle;
}

// The median of `runs` timings of `work`, in milliseconds; `prepare` runs untimed before each.
double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    prepare();
    times.push_back(timeMs(work));
  }
  return median(times);
}

// The medians of `runs` timings of each of `works`, in milliseconds. They take turns, so that a
// machine or a file system that gets slower over the runs weighs on each of them alike.
std::vector<double> mediansInTurnMs(int runs, const std::vector<std::function<void()>> &works) {
  std::vector<std::vector<double>> times(works.size());
  for (int i = 0; i < runs; ++i) {
    for (std::size_t j = 0; j < works.size(); ++j) times[j].push_back(timeMs(works[j]));
  }
  std::vector<double> medians;
  medians.reserve(times.size());
  for (auto &each : times) medians.push_back(median(std::move(each)));
  return medians;
}

std::vector<std::vector<std::string>> allRows(const ui::ListView &list) {
  std::vector<std::vector<std::string>> rows;
  for (int number = 1; number <= list.count(); ++number) {
    auto row = test::SearchWindow::row(list, number);
    const ui::ListItem &item = list.item(number);
    row.push_back(std::to_string(item.smallIcon));
    for (const auto &sub : item.subItems) row.push_back(std::to_string(sub.bold) + "/" + std::to_string(sub.foreColor));
    rows.push_back(std::move(row));
  }
  return rows;
}

// A long page in the site's grammar: `entries` entries with filler between them, 9,999 lines with
// the closing line.
std::string largePage(int entries) {
  constexpr int kLines = 9999;
  std::vector<std::string> lines = {"<!DOCTYPE html>", "<html>", "<head><title>Suchergebnisse</title></head>",
                                    "<body>"};
  const int filler = (kLines - 6 - entries * 10) / entries;
  for (int i = 0; i < entries; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "Vid%08dX", i);
    lines.emplace_back("<div class=\"vresult\">");
    lines.push_back(std::string("<div class=\"vthumb\"><a href=\"/watch?v=") + id + "\" title='Video Nummer " +
                    std::to_string(i) + "'><img src=\"http://www.localhost:8480/vi/" + id + "/" + id +
                    ".jpg\" width=\"130\" height=\"97\" alt=\"\" border=\"0\" class=\"vimg\"></a></div>");
    lines.emplace_back("<div class=\"vinfo\">");
    lines.push_back("<span class=\"runtime\">" + std::to_string(i % 10) + ":3" + std::to_string(i % 6) + "</span>");
    lines.push_back("<div class=\"vtitle\">Video Nummer " + std::to_string(i) + "</div>");
    lines.emplace_back("<div class=\"vtags\">Tags: klipfang test</div>");
    lines.push_back(std::string("<div class=\"vdesc\" id=\"desc") + id + "\">");
    lines.emplace_back("Eine Beschreibung mit Umlauten: sch\xC3\xB6n, gr\xC3\xBCn, B\xC3\xA4r.<br/>\tZweite Zeile.");
    lines.emplace_back("</div>");
    lines.emplace_back("</div></div>");
    for (int spacer = 0; spacer < filler; ++spacer)
      lines.push_back("<div class=\"spacer\">&nbsp; Zeile " + std::to_string(spacer) + "</div>");
  }
  while (lines.size() < kLines - 2) lines.emplace_back("<!-- Ende der Liste -->");
  lines.emplace_back("</body>");
  lines.emplace_back("</html>");
  std::string page;
  for (const auto &line : lines) page += line + "\n";
  return page;
}

struct ParseFigures {
  double ours;
  double reference;
  bool same;
  int rows;
  int lines;
};

ParseFigures measureParse(const std::string &pageFile, int runs) {
  test::SearchWindow frm;
  frm.settings.cleartxt = true;
  frm.addFavourite("vid00000007x");
  search::LoadFile(pageFile, frm.views());
  const auto clear = [&] { frm.results.clear(); };
  ParseFigures figures{};
  figures.lines = static_cast<int>(frm.pageLines.lines().size());
  figures.ours = medianMs(runs, clear, [&] { search::ParseResults(frm.views()); });
  const auto ours = allRows(frm.lstResult);
  figures.reference = medianMs(std::max(1, runs / 20), clear, [&] { referenceParseResults(frm.views()); });
  figures.same = ours == allRows(frm.lstResult);
  figures.rows = static_cast<int>(ours.size());
  return figures;
}

std::size_t discard(char *, std::size_t size, std::size_t count, void *) {
  return size * count;
}

std::size_t keep(char *data, std::size_t size, std::size_t count, void *body) {
  static_cast<std::string *>(body)->append(data, size * count);
  return size * count;
}

// HEAD and GET of one page on one handle, as the program's download engine asks for it: on one
// connection, or on a connection each. The body is discarded, or kept in `body` when one is given.
void curlPage(const std::string &url, bool oneConnection = true, std::string *body = nullptr) {
  CURL *curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, oneConnection ? 0L : 1L);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Download");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, body ? &keep : &discard);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, body);
  curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  curl_easy_perform(curl);
  curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_perform(curl);
  curl_easy_cleanup(curl);
}

// What every program that keeps its result pages in files has to do with a page beyond fetching
// it, done plainly: the body written to the page's file and read back line by line. The older file
// is removed first rather than truncated, which on ext4 would have the new one written out at once
// and make this reference slow for a reason of its own.
void throughFile(const std::string &body, const std::string &file) {
  std::remove(file.c_str());
  {
    std::ofstream out(file, std::ios::binary);
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
  }
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(std::move(line));
}

// libcurl escapes nothing itself; the words here need no escaping.
std::vector<std::string> pageAddresses(const std::string &root, const std::string &words, int pages) {
  std::vector<std::string> urls{search::FirstPageUrl(root, words)};
  for (int page = 2; page <= pages; ++page) urls.push_back(search::PageUrl(root, words, page));
  return urls;
}

void report(const char *what, double value, const char *unit, const char *target, bool met) {
  std::printf("%-58s %10.3f %-3s target %-14s %s\n", what, value, unit, target, met ? "met" : "MISSED");
}

}  // namespace
}  // namespace kf::bench

int main() {
  using namespace kf;
  using namespace kf::bench;
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  const auto dir = std::filesystem::temp_directory_path() / ("klipfang-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  bool ok = true;

  site::Server server;
  const int port = server.start();
  const net::SiteAddress address = test::localSiteAddress(port);
  const std::string words = "klipfang";
  constexpr int kPages = 20;

  // A page of the bundled site as the program saves it.
  const std::string sitePage = (dir / "site.txt").string();
  {
    const auto reply =
        server.site().answer({"GET", "/results?search_query=" + words + "&search=Search", "www.localhost"});
    files::writeBytes(sitePage, reply.body);
  }
  const std::string bigPage = (dir / "big.txt").string();
  files::writeBytes(bigPage, largePage(500));

  const ParseFigures small = measureParse(sitePage, 200);
  const ParseFigures big = measureParse(bigPage, 21);
  std::printf("site page: %d lines, %d rows; long page: %d lines, %d rows\n", small.lines, small.rows, big.lines,
              big.rows);
  report("ParseResults, site page (ms)", small.ours, "ms", "< 1 ms", small.ours < 1);
  report("  reference reading, site page (ms)", small.reference, "ms", "-", true);
  report("ParseResults, 9,999 lines / 500 entries (ms)", big.ours, "ms", "< 50 ms", big.ours < 50);
  report("  reference reading, same page (ms)", big.reference, "ms", "-", true);
  report("  speed-up over the reference (x)", big.reference / big.ours, "x", ">= 10x", big.reference / big.ours >= 10);
  report("  rows identical to the reference (1 = yes)", small.same && big.same, "", "1", small.same && big.same);
  ok = ok && small.same && big.same && small.rows == 20 && big.rows == 500;
  std::printf("FIGURE\tParseResults, site page\t%.3f\tms\treference reading %.3f ms\t< 1\n", small.ours,
              small.reference);
  std::printf("FIGURE\tParseResults, 9,999-line page\t%.3f\tms\treference reading %.1f ms\t< 50\n", big.ours,
              big.reference);
  std::printf("FIGURE\tParseResults, 9,999 lines, speed-up over the reference\t%.1f\tx\t-\t>= 10\n",
              big.reference / big.ours);

  // A whole search of 20 pages, headless, against the same 20 pages with plain libcurl.
  test::SearchWindow frm;
  frm.settings.respages = kPages;
  frm.settings.cleartxt = true;
  frm.txtSearch.setText(words);
  windows::SearchCommands commands(frm.controls(), frm.settings, address, dir.string());
  const auto urls = pageAddresses(address.root, words, kPages);
  // The reference the search is held to: plain libcurl, plus saving each page to a file and reading
  // it back, which no search that lists saved pages can leave out. Parsing and listing stay out of
  // it: they are the program's own work, which the ratio is to keep lean. Plain libcurl alone is
  // kept beside it.
  const auto plainWithFiles = [&] {
    for (std::size_t i = 0; i < urls.size(); ++i) {
      std::string body;
      curlPage(urls[i], true, &body);
      throughFile(body, (dir / ("plain" + std::to_string(i + 1) + ".txt")).string());
    }
  };
  const auto plain = [&] {
    for (const auto &url : urls) curlPage(url);
  };
  const auto medians = mediansInTurnMs(9, {[&] { commands.search(); }, plainWithFiles, plain});
  const double searchMs = medians[0];
  const double curlFilesMs = medians[1];
  const double curlMs = medians[2];
  const int listed = frm.lstResult.count();
  std::printf("search: %d rows listed from %d pages\n", listed, kPages);
  report("whole search, 20 pages on loopback (ms)", searchMs, "ms", "-", true);
  report("  per page (ms)", searchMs / kPages, "ms", "<= 5 ms", searchMs / kPages <= 5);
  report("  plain libcurl, same 20 pages, HEAD and GET (ms)", curlMs, "ms", "-", true);
  report("  the same, each page written to a file and read back (ms)", curlFilesMs, "ms", "-", true);
  report("  search / libcurl with page files (x)", searchMs / curlFilesMs, "x", "<= 1.3x",
         searchMs / curlFilesMs <= 1.3);
  report("  search / libcurl, bodies discarded (x)", searchMs / curlMs, "x", "-", true);
  ok = ok && listed == kPages * 20;

  // One page's HEAD and GET, where a server that holds back a short answer shows at once.
  const double pairMs = medianMs(
      41, [] {}, [&] { curlPage(urls.front()); });
  const double separateMs = medianMs(
      41, [] {}, [&] { curlPage(urls.front(), false); });
  report("HEAD + GET of one page, one connection (ms)", pairMs, "ms", "<= 3 ms", pairMs <= 3);
  report("  on a connection each (ms)", separateMs, "ms", "-", true);

  std::printf(
      "FIGURE\tHEAD + GET pair on one connection to the bundled site\t%.2f\tms\ta connection each %.2f ms\t<= 3\n",
      pairMs, separateMs);
  std::printf(
      "FIGURE\t20-page search against the bundled site, per page\t%.2f\tms\tplain libcurl %.2f ms a page, %.2f ms "
      "with page files\t<= 5\n",
      searchMs / kPages, curlMs / kPages, curlFilesMs / kPages);
  std::printf(
      "FIGURE\t20-page search / plain libcurl\t%.2f\tx\tsearch %.1f ms, plain libcurl with page files %.1f ms (bodies "
      "discarded %.1f ms: %.2fx)\t<= 1.3\n",
      searchMs / curlFilesMs, searchMs, curlFilesMs, curlMs, searchMs / curlMs);

  server.stop();
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
