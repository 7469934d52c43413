#include "platform/qt/posted_tasks.h"

#include <QCoreApplication>
#include <QEvent>

#include "platform/qt/guarded.h"

#if defined(__SANITIZE_THREAD__)
#define KF_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KF_THREAD_SANITIZER 1
#endif
#endif

#ifdef KF_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace kf::qtui {
namespace {

class PostedTask final : public QEvent {
 public:
  explicit PostedTask(std::function<void()> work) : QEvent(kind()), task(std::move(work)) {}

  static QEvent::Type kind() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
  }

  std::function<void()> task;
};

// Qt's event queue runs a task after its post, under a lock inside Qt; ThreadSanitizer does not see
// that lock (Qt is not built with it) and would take everything the posting thread wrote for a
// race. The handover is told to it here: the task is whole before the post, and taken over before
// anything of it is read, its kind included (taking over an event that is no task does nothing).
void handOver([[maybe_unused]] QEvent *event) {
#ifdef KF_THREAD_SANITIZER
  __tsan_release(event);
#endif
}

void takeOver([[maybe_unused]] QEvent *event) {
#ifdef KF_THREAD_SANITIZER
  __tsan_acquire(event);
#endif
}

}  // namespace

void PostedTasks::post(std::function<void()> task) {
  auto *posted = new PostedTask(std::move(task));
  handOver(posted);
  QCoreApplication::postEvent(this, posted);
}

bool PostedTasks::event(QEvent *event) {
  takeOver(event);
  if (event->type() != PostedTask::kind()) return QObject::event(event);
  runGuarded(static_cast<PostedTask *>(event)->task);
  return true;
}

}  // namespace kf::qtui
