#include "site/http/server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "site/http/connection.h"
#include "site/http/head_reader.h"
#include "site/http/ranges.h"
#include "site/pages/pages.h"
#include "site/pages/target.h"

namespace kf::site {
namespace {

constexpr size_t kWorkers = 32;
constexpr int kRequestsPerConnection = 100;
constexpr int kBacklog = 256;
constexpr size_t kFilePiece = 256 * 1024;

std::string headerOf(const Reply &reply, std::string_view name) {
  for (const auto &[key, value] : reply.headers) {
    if (key == name) return value;
  }
  return {};
}

// httplib runs each connection's first step in the thread that accepted it: the step only hands the
// connection to the head reader.
class HandOver final : public httplib::TaskQueue {
 public:
  void enqueue(std::function<void()> work) override { work(); }
  void shutdown() override {}
};

// cpp-httplib does the ordinary answers (keep-alive, HEAD); the site takes over each
// connection first so that it can read a request's head and misbehave before httplib sees it.
class HttpCore final : public httplib::Server {
 public:
  HttpCore(const Site &site, RequestLog &log, const std::atomic<bool> &stopping)
      : site_(site), log_(log), stopping_(stopping) {
    new_task_queue = [] { return new HandOver; };
    set_socket_options([this](socket_t sock) {
      httplib::default_socket_options(sock);
      listening_ = sock;
    });
    set_payload_max_length(64 * 1024);
    Get(".*", [this](const httplib::Request &req, httplib::Response &res) { answer(req, res); });
  }

  std::atomic<int> port{0};
  std::shared_ptr<Detour> detour;

  // httplib listens with a backlog of five: in a burst of connections (a page's pictures, a
  // browser's six, clients that hold theirs) every one beyond it waited a second for its handshake
  // to be sent again.
  void deepenBacklog() const {
    if (listening_ >= 0) ::listen(listening_, kBacklog);
  }

  // Before listening: the threads that read heads and answer requests.
  void open(const ConnectionLimits &limits) {
    workers_ = std::make_unique<httplib::ThreadPool>(kWorkers);
    heads_ = std::make_unique<HeadReader>(limits, [this](std::shared_ptr<Connection> connection, RequestHead head) {
      workers_->enqueue([this, connection = std::move(connection), head = std::move(head)]() mutable {
        serve(std::move(connection), head);
      });
    });
  }

  // After listening: every connection ends, the answers under way included.
  void close() {
    heads_->stop();
    workers_->shutdown();
    heads_.reset();
    workers_.reset();
  }

 private:
  // httplib hands each new connection over at once, in its own thread: the heads are read apart.
  bool process_and_close_socket(socket_t sock) override {
    heads_->add(std::make_shared<Connection>(sock, stopping_));
    return true;
  }

  void serve(std::shared_ptr<Connection> connection, const RequestHead &head) {
    log_.add({head.method, head.target, head.host, head.userAgent});
    if (detour && detour->answer(*connection, head, [&] {
          return site_.answer({head.method, head.target, safeHost(head.host, port)});
        })) {
      return;
    }
    connection->countAnswer();
    bool closed = false;
    if (!process_request(*connection, connection->answered() >= kRequestsPerConnection, closed, nullptr) || closed)
      return;
    heads_->add(std::move(connection));
  }

  void answer(const httplib::Request &req, httplib::Response &res) const {
    const Reply reply = site_.answer({req.method, req.target, safeHost(req.get_header_value("Host"), port)});
    const std::uint64_t size = reply.bodySize();
    const std::string ifRange = req.get_header_value("If-Range");
    // A range asked of another version of the answer gets the whole of this one.
    const bool sameVersion = !req.has_header("If-Range") || ifRange == headerOf(reply, "ETag") ||
                             (!ifRange.starts_with('"') && ifRange == headerOf(reply, "Last-Modified"));
    const std::string rangeHeader(kRangeHeader);
    const RangeChoice range = reply.status == 200 && req.has_header(rangeHeader) && sameVersion
                                  ? chooseRange(req.get_header_value(rangeHeader), size)
                                  : RangeChoice{};
    res.status = reply.status;
    for (const auto &[name, value] : reply.headers) res.set_header(name, value);
    if (range.kind == RangeChoice::Kind::Unsatisfiable) {
      res.status = 416;
      res.set_header("Content-Range", contentRange(range, size));
      return res.set_content(errorPage(416, "Diesen Teil der Datei gibt es nicht."), "text/html; charset=utf-8");
    }
    if (range.kind == RangeChoice::Kind::Part) {
      res.status = 206;
      res.set_header("Content-Range", contentRange(range, size));
    }
    const std::uint64_t first = range.kind == RangeChoice::Kind::Part ? range.first : 0;
    const std::uint64_t length = range.kind == RangeChoice::Kind::Part ? range.length : size;
    if (!reply.file || length == 0) return res.set_content(reply.bodyPiece(first, length), reply.contentType);
    // A file goes out piece by piece; a piece that cannot be read ends the answer, short of its length.
    res.set_content_provider(static_cast<size_t>(length), reply.contentType,
                             [file = reply.file, first](size_t offset, size_t most, httplib::DataSink &sink) {
                               std::string piece;
                               if (!file->read(first + offset, std::min(most, kFilePiece), piece) || piece.empty())
                                 return false;
                               return sink.write(piece.data(), piece.size());
                             });
  }

  const Site &site_;
  RequestLog &log_;
  const std::atomic<bool> &stopping_;
  std::unique_ptr<httplib::ThreadPool> workers_;
  std::unique_ptr<HeadReader> heads_;
  std::atomic<socket_t> listening_{-1};
};

}  // namespace

struct Server::Impl {
  explicit Impl(Site loaded) : site(std::move(loaded)), core(site, log, stopping) {}

  Site site;
  RequestLog log;
  std::atomic<bool> stopping{false};
  HttpCore core;
  ConnectionLimits limits;
  std::thread listener;
};

Server::Server(const std::filesystem::path &dataDir) : impl_(std::make_unique<Impl>(Site::load(dataDir))) {}

Server::Server(std::shared_ptr<const VideoCatalogue> videos) : impl_(std::make_unique<Impl>(Site(std::move(videos)))) {}

Server::~Server() {
  stop();
}

int Server::start(int port, const std::string &address) {
  if (impl_->listener.joinable()) throw std::runtime_error("site already started");
  HttpCore &core = impl_->core;
  int bound = port == 0 ? core.bind_to_any_port(address) : (core.bind_to_port(address, port) ? port : -1);
  if (bound <= 0)
    throw std::runtime_error("Auf " + address + ":" + std::to_string(port) +
                             " kann nicht gelauscht werden: die Adresse ist belegt oder nicht erlaubt.");
  core.port = bound;
  core.deepenBacklog();
  impl_->stopping = false;
  core.open(impl_->limits);
  impl_->listener = std::thread([&core] { core.listen_after_bind(); });
  // stop() only reaches a server that has begun to listen.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!core.is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!core.is_running()) {
    stop();
    throw std::runtime_error("site did not start listening");
  }
  return bound;
}

void Server::stop() {
  if (!impl_->listener.joinable()) return;
  impl_->stopping = true;
  impl_->core.stop();
  impl_->listener.join();
  impl_->core.close();
}

int Server::port() const {
  return impl_->core.port;
}

void Server::setConnectionLimits(const ConnectionLimits &limits) {
  if (impl_->listener.joinable()) throw std::logic_error("the limits are set before the site starts");
  impl_->limits = limits;
}

void Server::setDetour(std::shared_ptr<Detour> detour) {
  if (impl_->listener.joinable()) throw std::logic_error("a detour is set before the site starts");
  impl_->site.leaveOutWords([detour](std::string_view word) { return detour->ownsWord(word); });
  impl_->core.detour = std::move(detour);
}

std::vector<LogEntry> Server::requests() const {
  return impl_->log.entries();
}

void Server::clearRequests() {
  impl_->log.clear();
}

void Server::writeLogTo(const std::filesystem::path &file) {
  impl_->log.writeTo(file);
}

const Site &Server::site() const {
  return impl_->site;
}

}  // namespace kf::site
