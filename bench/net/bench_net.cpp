// How fast the two fetchers bring a 16 MiB body over loopback: the download engine reading 1,024-byte
// chunks and the page fetch, each against one plain libcurl transfer of the same body in the same
// run. Prints each ratio beside its target; exits non-zero when a body arrives changed.
#include <curl/curl.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "net/cls_download.h"
#include "net/r_web_operations.h"
#include "platform/ui/headless_toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kBodySize = 16 * 1024 * 1024;
constexpr int kRuns = 9;
constexpr double kTargetRatio = 1.5;

// The median timing of each piece of work in milliseconds, the pieces taking turns run by run so
// that a busy machine slows them alike.
std::vector<double> medianMs(const std::vector<std::function<void()>> &works) {
  std::vector<std::vector<double>> times(works.size());
  for (int run = 0; run < kRuns; ++run) {
    for (std::size_t i = 0; i < works.size(); ++i) {
      const auto start = Clock::now();
      works[i]();
      times[i].push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
  }
  std::vector<double> medians;
  for (auto &timesOfWork : times) {
    std::nth_element(timesOfWork.begin(), timesOfWork.begin() + kRuns / 2, timesOfWork.end());
    medians.push_back(timesOfWork[kRuns / 2]);
  }
  return medians;
}

std::size_t collect(char *data, std::size_t size, std::size_t count, void *body) {
  static_cast<std::string *>(body)->append(data, size * count);
  return size * count;
}

// The reference: one GET with libcurl's defaults, the body gathered in a string.
std::string plainTransfer(const std::string &url) {
  std::string body;
  CURL *curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return body;
}

std::string patternBody(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return body;
}

}  // namespace

int main() {
  kf::ui::HeadlessToolkit tk;
  kf::ui::setToolkit(tk);
  const std::string body = patternBody(kBodySize);
  httplib::Server server;
  server.Get("/body", [&body](const httplib::Request &, httplib::Response &response) {
    response.set_content(body, "application/octet-stream");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread serving([&server] { server.listen_after_bind(); });
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/body";

  bool same = true;
  const std::vector<double> ms = medianMs({
      [&] { same = plainTransfer(url) == body && same; },
      [&] {
        kf::net::clsDownload download;
        same = download.Downloadfile(url, 1024, "Download") == body && same;
      },
      [&] { same = kf::net::rGetUrlSource(url) == body && same; },
  });
  const double plain = ms[0];

  std::printf("16 MiB over loopback, median of %d runs\n", kRuns);
  std::printf("%-44s %9.1f ms  (reference)\n", "plain libcurl transfer", plain);
  const auto report = [&](const char *what, double taken) {
    const double ratio = taken / plain;
    std::printf("%-44s %9.1f ms  %5.2fx plain, target <= %.1fx  %s\n", what, taken, ratio, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "MISSED");
    std::printf("FIGURE\t%s, 16 MiB / plain libcurl\t%.2f\tx\tplain libcurl %.1f ms, this %.1f ms\t<= %.1f\n", what,
                ratio, plain, taken, kTargetRatio);
  };
  report("Downloadfile, HEAD + 1,024-byte chunks", ms[1]);
  report("rGetUrlSource", ms[2]);
  if (!same) std::printf("a body arrived changed\n");

  server.stop();
  serving.join();
  return same ? 0 : 1;
}
