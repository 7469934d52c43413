#include "site/stream/streams.h"

#include <poll.h>

#include <algorithm>
#include <sstream>

#include "site/stream/conversion.h"
#include "site/worker/worker.h"

namespace kf::site::stream {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How far a run may go beyond the last segment asked for before it is paused.
constexpr std::size_t kAhead = 3;
// Two video windows and one more; a further run ends the one asked least recently.
constexpr std::size_t kMostRuns = 3;
// The key frames of a long MPEG-TS file are read from all of it.
constexpr auto kKeysLimit = 20s;
constexpr auto kLongestWait = 60s;
// A run that failed is not started again at once for the same place.
constexpr auto kAfterFailure = 10s;
constexpr auto kLook = 100ms;
// Plans in memory, for the segment requests; beyond, they are read from the cache again.
constexpr std::size_t kPlansKept = 64;

}  // namespace

struct Streams::Run {
  Source source;
  std::shared_ptr<const Plan> plan;
  std::unique_ptr<Conversion> conversion;
  std::filesystem::path work;
  std::size_t first = 0, next = 0, last = 0;  // makes [first, last); `next` is the one in hand
  std::size_t asked = 0;
  std::size_t waiting = 0;
  Clock::time_point askedAt, progressAt, endedAt;
  bool over = false, failed = false;
};

Streams::Streams(StreamOptions options) : options_(std::move(options)), cache_(options_.folder, options_.cap) {
  watcher_ = std::thread([this] { watch(); });
}

Streams::~Streams() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (auto &[id, run] : runs_) stopRun(*run);
  }
  changed_.notify_all();
  watcher_.join();
}

std::size_t Streams::runningConversions() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(
      std::ranges::count_if(runs_, [](const auto &entry) { return entry.second->conversion != nullptr; }));
}

std::shared_ptr<const Plan> Streams::quickPlan(const Source &source) {
  {
    std::lock_guard lock(mutex_);
    const auto known = plans_.find(source.version);
    if (known != plans_.end()) return known->second;
  }
  if (auto text = cache_.plan(source.version)) {
    if (auto kept = readPlan(*text)) return remember(source, std::make_shared<const Plan>(std::move(*kept)));
  }
  // A converted picture is cut by the clock alone.
  if (source.duration > 0 && !makePlan(source.way, source.duration, {}).copiesPicture()) {
    return keepPlan(source, makePlan(source.way, source.duration, {}));
  }
  return nullptr;
}

std::shared_ptr<const Plan> Streams::keepPlan(const Source &source, Plan plan) {
  cache_.keepPlan(source.version, planText(plan));
  return remember(source, std::make_shared<const Plan>(std::move(plan)));
}

std::shared_ptr<const Plan> Streams::remember(const Source &source, std::shared_ptr<const Plan> plan) {
  std::lock_guard lock(mutex_);
  if (plans_.size() >= kPlansKept) plans_.clear();
  plans_[source.version] = plan;
  return plan;
}

std::shared_ptr<const Plan> Streams::planOf(const Source &source) {
  if (auto plan = quickPlan(source)) return plan;
  std::lock_guard lock(planMutex_);
  if (auto plan = quickPlan(source)) return plan;
  const bool copies = makePlan(source.way, 1, {}).copiesPicture();
  worker::Worker worker(options_.workerProgram);
  const auto answer = worker.ask({"keys", source.file->procPath().string(), copies ? "1" : "0",
                                  std::to_string(std::chrono::milliseconds(kKeysLimit).count())},
                                 kKeysLimit + 5s);
  if (!answer || answer->size() != 3 || (*answer)[0] != "ok") return nullptr;
  const long long duration = std::atoll((*answer)[1].c_str());
  if (duration <= 0) return nullptr;
  std::vector<long long> keys;
  std::istringstream times((*answer)[2]);
  for (long long key = 0; times >> key;) keys.push_back(key);
  return keepPlan(source, makePlan(source.way, duration, keys));
}

StreamOutline Streams::outline(const Source &source) {
  const auto plan = planOf(source);
  if (!plan) return {{}, "FFmpeg kann die Datei nicht lesen oder findet ihre Spieldauer nicht."};
  StreamOutline outline;
  for (std::size_t i = 0; i < plan->count(); ++i) {
    outline.seconds.push_back(static_cast<double>(plan->end(i) - plan->starts[i]) / 1e6);
  }
  return outline;
}

void Streams::prepare(const Source &source) {
  const auto plan = quickPlan(source);
  if (!plan) return;
  std::lock_guard lock(mutex_);
  const auto found = runs_.find(source.version.id);
  const bool running = found != runs_.end() && !found->second->over;
  if (!running && !cache_.open(source.version, 0)) startRun(source, plan, 0);
}

std::shared_ptr<const OpenFile> Streams::segment(const Source &source, std::size_t index) {
  const auto plan = planOf(source);
  if (!plan || index >= plan->count()) return nullptr;
  const auto deadline = Clock::now() + kLongestWait;
  std::unique_lock lock(mutex_);
  if (auto file = cache_.open(source.version, index)) {
    const auto found = runs_.find(source.version.id);
    if (found != runs_.end() && found->second->source.version == source.version) noteAsked(*found->second, index);
    return file;
  }
  const std::shared_ptr<Run> run = runFor(source, plan, index);
  if (!run) return nullptr;
  ++run->waiting;
  std::shared_ptr<const OpenFile> file;
  for (;;) {
    file = cache_.open(source.version, index);
    // Another request may have ended the video's run meanwhile, for a jump elsewhere.
    if (file || run->over || stopping_ || Clock::now() > deadline) break;
    changed_.wait_for(lock, kLook);
  }
  --run->waiting;
  return file;
}

void Streams::noteAsked(Run &run, std::size_t index) {
  run.asked = index;
  run.askedAt = Clock::now();
  if (run.conversion && run.next <= index + kAhead) run.conversion->resume();
}

std::shared_ptr<Streams::Run> Streams::runFor(const Source &source, const std::shared_ptr<const Plan> &plan,
                                              std::size_t index) {
  const auto found = runs_.find(source.version.id);
  if (found != runs_.end()) {
    std::shared_ptr<Run> run = found->second;
    const bool same = run->source.version == source.version && run->plan->way == plan->way;
    if (same && !run->over && index >= run->next && index < run->last && index <= run->next + kAhead) {
      noteAsked(*run, index);
      return run;
    }
    if (same && run->failed && index >= run->next && Clock::now() - run->endedAt < kAfterFailure) return nullptr;
    // A jump: what the run would make next is not what is asked for.
    stopRun(*run);
    runs_.erase(found);
  }
  return startRun(source, plan, index);
}

std::shared_ptr<Streams::Run> Streams::startRun(const Source &source, const std::shared_ptr<const Plan> &plan,
                                                std::size_t index) {
  std::erase_if(runs_, [](const auto &entry) { return entry.second->over; });
  while (runs_.size() >= kMostRuns) {
    const auto oldest = std::ranges::min_element(
        runs_, [](const auto &a, const auto &b) { return a.second->askedAt < b.second->askedAt; });
    stopRun(*oldest->second);
    runs_.erase(oldest);
  }
  auto run = std::make_shared<Run>();
  run->source = source;
  run->plan = plan;
  run->first = run->next = run->asked = index;
  run->last = runEnd(*plan, index);
  run->work = cache_.workFolder(source.version);
  run->conversion = Conversion::start(options_.converter,
                                      conversionArguments(*plan, index, source.file->procPath().string(), run->work));
  if (!run->conversion) {
    cache_.dropWork(run->work);
    if (!toldMissing_) options_.log("Das Programm „" + options_.converter + "“ lässt sich nicht starten.");
    toldMissing_ = true;
    return nullptr;
  }
  run->askedAt = run->progressAt = Clock::now();
  runs_[source.version.id] = run;
  changed_.notify_all();
  return run;
}

void Streams::stopRun(Run &run) {
  run.conversion.reset();
  if (!run.work.empty()) cache_.dropWork(run.work);
  run.work.clear();
  run.over = true;
  run.endedAt = Clock::now();
}

void Streams::forget(const Version &version) {
  {
    std::lock_guard lock(mutex_);
    plans_.erase(version);
    const auto found = runs_.find(version.id);
    if (found != runs_.end() && found->second->source.version == version) stopRun(*found->second);
  }
  changed_.notify_all();
  cache_.forget(version);
}

void Streams::look(Run &run) {
  if (!run.conversion) return;
  for (const std::size_t made : run.conversion->finished()) {
    if (made < run.next || made >= run.last) continue;
    cache_.keep(run.work / (std::to_string(made) + ".ts"), run.source.version, made);
    run.next = made + 1;
    run.progressAt = Clock::now();
  }
  if (const auto ended = run.conversion->ended()) {
    run.failed = !*ended || run.next < run.last;
    if (run.failed) {
      const std::string &complaint = run.conversion->complaint();
      options_.log("Die Umwandlung von „" + run.source.name + "“ ist gescheitert" +
                   (complaint.empty() ? std::string(".") : ": " + complaint.substr(0, complaint.find('\n'))));
    }
    stopRun(run);
    return;
  }
  const auto now = Clock::now();
  if (now - run.askedAt > options_.idle) {
    stopRun(run);
  } else if (run.waiting > 0 && run.asked >= run.next && now - run.progressAt > options_.stall) {
    options_.log("Die Umwandlung von „" + run.source.name + "“ kam nicht voran und wurde beendet.");
    stopRun(run);
    run.failed = true;
  } else if (run.next > run.asked + kAhead && run.waiting == 0) {
    run.conversion->pause();
  }
}

void Streams::watch() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    std::vector<pollfd> waits;
    for (const auto &[id, run] : runs_) {
      if (!run->conversion) continue;
      for (const int fd : {run->conversion->output(), run->conversion->errors()}) {
        if (fd >= 0) waits.push_back({fd, POLLIN, 0});
      }
    }
    lock.unlock();
    if (waits.empty()) {
      lock.lock();
      changed_.wait_for(lock, kLook);
    } else {
      ::poll(waits.data(), waits.size(), static_cast<int>(kLook.count()));
      lock.lock();
    }
    bool any = false;
    for (auto &[id, run] : runs_) {
      const std::size_t before = run->next;
      const bool wasOver = run->over;
      look(*run);
      any = any || run->next != before || run->over != wasOver;
    }
    if (any) changed_.notify_all();
  }
}

}  // namespace kf::site::stream
