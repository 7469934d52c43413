#pragma once
// Tasks that any thread hands to the user-interface thread, where they run in the order posted, each
// guarded as every handler is. Tasks still waiting when this goes never run.
#include <QObject>
#include <functional>

namespace kf::qtui {

class PostedTasks final : public QObject {
 public:
  // Made on the user-interface thread, whose event loop runs the tasks.
  PostedTasks() = default;

  // May be called from any thread.
  void post(std::function<void()> task);

 private:
  bool event(QEvent *event) override;
};

}  // namespace kf::qtui
