// How much processor time the program spends while a result click waits for a slow preview picture:
// the process's processor time (every thread, the loopback server's included) as a share of the
// wall time of the click. The reference is the same transfer waited for by polling the event loop.
#include <httplib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/http/internet_transfer.h"
#include "platform/ui/headless_toolkit.h"
#include "store/settings.h"
#include "support/temp_dir.h"
#include "windows/main_controls.h"
#include "windows/result_list_reactions.h"

namespace kf::bench {
namespace {

using namespace std::chrono_literals;

constexpr int kPieces = 20;
constexpr auto kPause = 100ms;  // 20 pieces, one every 100 ms: a picture that takes 2 seconds

double processSeconds() {
  timespec used{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor seconds per wall second while `work` runs.
template <class Work>
double processorShare(Work work) {
  const double wall = wallSeconds();
  const double cpu = processSeconds();
  work();
  return (processSeconds() - cpu) / (wallSeconds() - wall);
}

class SlowPictureServer {
 public:
  SlowPictureServer() {
    server_.Get("/vi/slow/slow.jpg", [](const httplib::Request &, httplib::Response &res) {
      res.set_chunked_content_provider("image/jpeg", [](size_t offset, httplib::DataSink &sink) {
        std::this_thread::sleep_for(kPause);
        const std::string piece =
            offset == 0 ? std::string("\xFF\xD8\xFF\xE0", 4) + std::string(252, 'p') : std::string(256, 'p');
        sink.write(piece.data(), piece.size());
        if (offset + piece.size() >= kPieces * 256) sink.done();
        return true;
      });
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~SlowPictureServer() {
    server_.stop();
    thread_.join();
  }
  std::string address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/vi/slow/slow.jpg"; }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

void report(const char *what, double share, const char *verdict) {
  std::printf("%-52s %6.2f %%  %s\n", what, share * 100, verdict);
}

}  // namespace
}  // namespace kf::bench

int main() {
  using namespace kf;
  ui::HeadlessToolkit tk;
  ui::setToolkit(tk);
  bench::SlowPictureServer server;
  test::TempDir appDir;
  windows::MainControls controls(tk);
  store::Settings settings;
  settings.preview = true;
  video::VideoList results;
  video::VideoList favourites;
  const windows::VideoView resultsView{results, controls.lstResult};
  windows::showVideos(resultsView, {});
  windows::ResultListReactions reactions(controls, resultsView, {favourites, controls.lstFavs}, settings, appDir.path(),
                                         [](const std::string &, const std::string &) {});
  const int row = results.append({"Titel", "slow", server.address(), "Film", "0:02"});

  double wall = 0;
  const double share = bench::processorShare([&] {
    const double start = bench::wallSeconds();
    controls.lstResult.clickItem(row);
    wall = bench::wallSeconds() - start;
  });
  const bool shown = !controls.imgPrev.picture().empty() && tk.boxes.shown().empty();
  std::printf("picture fetched in %.2f s, %s\n", wall, shown ? "shown" : "NOT SHOWN");

  // The reference: the same transfer, waited for by handling events in a loop that never sleeps.
  http::InternetTransfer inet(tk.poster());
  const double polling = bench::processorShare([&] {
    inet.execute(server.address());
    while (inet.stillExecuting()) tk.doEvents();
  });

  bench::report("processor share while a click waits for the picture", share,
                share < 0.05 ? "target < 5 %: met" : "target < 5 %: MISSED");
  bench::report("reference: the same wait polling the event loop", polling, "(reference)");
  std::printf("FIGURE\tprocessor share while GetPic waits 2 s\t%.2f\t%%\tpolling the event loop %.1f %%\t< 5\n",
              share * 100, polling * 100);
  return shown ? 0 : 1;
}
