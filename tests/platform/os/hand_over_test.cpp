#include "platform/os/instance/hand_over.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/instance/instance_lock.h"
#include "platform/ui/headless_toolkit.h"
#include "support/environment_variable.h"
#include "support/temp_dir.h"

namespace kf::instance {
namespace {

using namespace std::chrono_literals;

class InstanceTest : public testing::Test {
 protected:
  InstanceTest() { ui::setToolkit(tk); }

  // Hands `message` over as a later start does, from a process of its own in effect, while this
  // thread is the listener's window thread: whether it was taken.
  bool handOverWhileWindowRuns(const std::string &path, const std::string &message,
                               std::chrono::milliseconds timeout = 5s) {
    std::future<bool> taken = std::async(std::launch::async, [&] { return handOver(path, message, timeout); });
    while (taken.wait_for(10ms) != std::future_status::ready) tk.doEvents();
    return taken.get();
  }

  ui::HeadlessToolkit tk;
  test::TempDir runtime;
  const test::EnvironmentVariable runtimeFolder{"XDG_RUNTIME_DIR", runtime.path()};
  test::TempDir folder;
};

TEST_F(InstanceTest, OneHolderAtATimeAndAKilledHolderLeavesNoLock) {
  const std::string lockPath = folder.file("klipfang.lock");
  {
    std::optional<InstanceLock> first = InstanceLock::tryTake(lockPath);
    ASSERT_TRUE(first);
    EXPECT_FALSE(InstanceLock::tryTake(lockPath));
  }
  EXPECT_TRUE(InstanceLock::tryTake(lockPath)) << "released with its holder";

  // A holder in another process, killed without a chance to clean up.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const auto held = InstanceLock::tryTake(lockPath);
    const char ok = held ? '1' : '0';
    (void)!::write(ready[1], &ok, 1);
    ::pause();
    std::_Exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, '1');
  EXPECT_FALSE(InstanceLock::tryTake(lockPath)) << "held by the other process";
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(InstanceLock::tryTake(lockPath));
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(InstanceTest, AMessageHandedOverReachesTheListenerOnTheWindowThread) {
  const std::string path = socketPathFor("test", folder.path());
  EXPECT_EQ(path.rfind(runtime.path(), 0), 0u);
  EXPECT_NE(socketPathFor("test", folder.path() + "x"), path) << "another folder, another socket";
  EXPECT_LT(socketPathFor("test", std::string(4000, 'a')).size(), 108u) << "any folder fits a socket path";

  // A socket left behind by a killed listener is replaced.
  test::writeFile(path, "stale");
  std::vector<std::string> received;
  const std::thread::id windowThread = std::this_thread::get_id();
  HandOverServer server(
      path,
      [&](const std::string &message) {
        EXPECT_EQ(std::this_thread::get_id(), windowThread);
        received.push_back(message);
        return true;
      },
      tk.poster());
  const std::string address = "http://localhost:8480/get_video.php?video_id=a&t=" + std::string(5000, 'b');
  EXPECT_TRUE(handOverWhileWindowRuns(path, "show"));
  EXPECT_TRUE(handOverWhileWindowRuns(path, address));
  EXPECT_EQ(received, (std::vector<std::string>{"show", address}));
}

TEST_F(InstanceTest, NothingIsHandedOverThatTheWindowThreadDidNotTake) {
  const std::string path = socketPathFor("test", folder.path());
  EXPECT_FALSE(handOver(path, "show", 200ms));
  int offered = 0;
  {
    HandOverServer server(
        path, [&](const std::string &) { return ++offered, false; }, tk.poster());
    EXPECT_FALSE(handOver(path, "two\nlines", 1s));
    EXPECT_FALSE(handOver(path, std::string(kMaxMessageBytes + 1, 'x'), 1s));
    EXPECT_FALSE(handOverWhileWindowRuns(path, "show", 0ms)) << "refused";
    EXPECT_GE(offered, 1);
  }
  EXPECT_FALSE(handOver(path, "show", 200ms)) << "the socket goes with its server";

  // A listener that ends while its window thread has not yet come to a message: the message is
  // neither taken nor acknowledged.
  offered = 0;
  std::future<bool> taken;
  {
    HandOverServer server(
        path, [&](const std::string &) { return ++offered, true; }, tk.poster());
    taken = std::async(std::launch::async, [&] { return handOver(path, "show", 0ms); });
    std::this_thread::sleep_for(200ms);
  }
  EXPECT_FALSE(taken.get());
  tk.doEvents();
  EXPECT_EQ(offered, 0);
}

}  // namespace
}  // namespace kf::instance
